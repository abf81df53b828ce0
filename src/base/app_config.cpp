#include "base/app_config.h"

namespace h2 {

AppConfig& appConfig() {
    static AppConfig config;
    return config;
}

} // namespace h2
