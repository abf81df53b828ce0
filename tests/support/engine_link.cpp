#include "support/engine_link.h"

#include "link/dataserver.h"
#include "link/engine_messages.h"

#include <cstring>

namespace h2test {

namespace {
const char* const kEngine = "127.0.0.2";
constexpr int kSettingMessageBytes = 124;
} // namespace

EngineLink::EngineLink() = default;

EngineLink::~EngineLink() {
    mPeer.close();
    mDataServer = nullptr;
    mServer.reset();
}

bool EngineLink::open() {
    mServer = std::make_unique<DataServer>(LinkEndpoints{kEngine, 0, 0});
    mServer->init(server_receive_callback, server_connect_callback);
    if (mServer->start() != 0)
        return false;
    mDataServer = mServer.get();
    return mPeer.connectTo(kEngine, mServer->thread()->controlPort()) &&
           mPeer.readExact(kSettingMessageBytes, 2000).size() == kSettingMessageBytes;
}

QVector<uint32_t> EngineLink::next(int timeoutMs) {
    const QByteArray head = mPeer.readExact(4, timeoutMs);
    if (head.size() != 4)
        return {};
    uint32_t length = 0;
    memcpy(&length, head.constData(), 4);
    if (length < 8 || length > 4096)
        return {};
    const QByteArray rest = mPeer.readExact(length - 4, timeoutMs);
    if (rest.size() != int(length - 4))
        return {};
    QVector<uint32_t> words(int(length / 4));
    memcpy(words.data(), (head + rest).constData(), words.size() * 4);
    return words;
}

} // namespace h2test
