#pragma once
// libmosquitto opened on first use rather than linked: a panel that never publishes then never
// maps it, nor the TLS libraries it pulls in. The pointer types come from the library's own
// header so the signatures cannot drift from it.

#include <QString>
#include <mosquitto.h>

namespace fleet {

// X(name) for every function of the library the client calls.
#define H2_MOSQUITTO_FUNCTIONS(X)                                                                  \
    X(mosquitto_lib_init)                                                                          \
    X(mosquitto_new)                                                                               \
    X(mosquitto_destroy)                                                                           \
    X(mosquitto_connect_async)                                                                     \
    X(mosquitto_loop_start)                                                                        \
    X(mosquitto_loop_stop)                                                                         \
    X(mosquitto_disconnect)                                                                        \
    X(mosquitto_publish)                                                                           \
    X(mosquitto_subscribe)                                                                         \
    X(mosquitto_will_set)                                                                          \
    X(mosquitto_username_pw_set)                                                                   \
    X(mosquitto_tls_set)                                                                           \
    X(mosquitto_reconnect_delay_set)                                                               \
    X(mosquitto_connect_callback_set)                                                              \
    X(mosquitto_disconnect_callback_set)                                                           \
    X(mosquitto_publish_callback_set)                                                              \
    X(mosquitto_message_callback_set)                                                              \
    X(mosquitto_strerror)                                                                          \
    X(mosquitto_connack_string)

struct MosquittoApi {
#define H2_MOSQUITTO_MEMBER(name) decltype(&::name) name = nullptr;
    H2_MOSQUITTO_FUNCTIONS(H2_MOSQUITTO_MEMBER)
#undef H2_MOSQUITTO_MEMBER
};

// Opens `file` and looks up every function; false with "cannot load FILE: WHY" in `error` when
// the file or one of the functions is missing. The library stays loaded on success.
bool loadMosquittoApi(const char* file, MosquittoApi* api, QString* error);

// libmosquitto.so.1, loaded and initialised once, from any thread; nullptr (with `error`) when
// it cannot be loaded.
const MosquittoApi* mosquittoApi(QString* error);

} // namespace fleet
