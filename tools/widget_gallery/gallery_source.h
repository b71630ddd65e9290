// Sample answers for the error report in the gallery: a read that timed out on the
// module at address 3, whose own report is then shown.
#pragma once

#include <comm_error_source.h>

namespace tamsel::gallery {

class TGallerySource final : public widgets::TCommErrorSource {
  public:
    widgets::TagCommErrorData errorData() override;
    QString lastCommand() override;
    QString statusMessage(const QString& codeText) override;
    QString findCommand(std::int32_t typeCode, std::int32_t number) override;
    widgets::TagRawReply rawExchange(const QString& text) override;
    /// A gallery is quiet.
    void exclamationBeep() override {}
};

} // namespace tamsel::gallery
