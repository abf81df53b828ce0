#include "fleet/mosquitto_api.h"

#include <dlfcn.h>
#include <mutex>

namespace fleet {

bool loadMosquittoApi(const char* file, MosquittoApi* api, QString* error) {
    auto fail = [file, error](void* handle) {
        *error = QStringLiteral("cannot load %1: %2")
                     .arg(QString::fromLocal8Bit(file), QString::fromLocal8Bit(dlerror()));
        if (handle)
            dlclose(handle);
        return false;
    };
    void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return fail(nullptr);
#define H2_MOSQUITTO_LOOKUP(name)                                                                  \
    api->name = reinterpret_cast<decltype(api->name)>(dlsym(handle, #name));                       \
    if (!api->name)                                                                                \
        return fail(handle);
    H2_MOSQUITTO_FUNCTIONS(H2_MOSQUITTO_LOOKUP)
#undef H2_MOSQUITTO_LOOKUP
    return true;
}

const MosquittoApi* mosquittoApi(QString* error) {
    static std::once_flag once;
    static MosquittoApi api;
    static bool loaded = false;
    static QString why;
    std::call_once(once, [] {
        loaded = loadMosquittoApi("libmosquitto.so.1", &api, &why);
        if (loaded)
            api.mosquitto_lib_init();
    });
    if (!loaded)
        *error = why;
    return loaded ? &api : nullptr;
}

} // namespace fleet
