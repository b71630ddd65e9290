#include "gallery_source.h"

namespace tamsel::gallery {

namespace {

constexpr std::int32_t kReceptionTimeout = 0x3002;
constexpr std::int32_t kSampleAddress = 3;
constexpr std::int32_t kSampleType = 0x0102;

} // namespace

widgets::TagCommErrorData TGallerySource::errorData() {
    return {widgets::failed::kRead, 1,           kReceptionTimeout,
            kSampleAddress,         kSampleType, QStringLiteral("@03  Suivi")};
}

QString TGallerySource::lastCommand() {
    return QStringLiteral("03MR");
}

QString TGallerySource::statusMessage(const QString& /*codeText*/) {
    return QStringLiteral("Reception: time-out");
}

QString TGallerySource::findCommand(std::int32_t /*typeCode*/, std::int32_t /*number*/) {
    return QStringLiteral("RX");
}

widgets::TagRawReply TGallerySource::rawExchange(const QString& /*text*/) {
    return {0, QStringLiteral("03 X=0014 (overload)")};
}

} // namespace tamsel::gallery
