// The exported line family: a thin layer over the line table that never lets an
// exception reach a caller.
#include "base/driver_state.h"
#include "interface/guarded.h"
#include "interface/load_record.h"
#include "line_table/line_family.h"
#include "line_table/sorncom.h"
#include "linkor.h"
#include "linkor_status.h"

namespace {

struct LibraryLifetime {
    LibraryLifetime() noexcept {
        try {
            linkor::writeLoadRecord();
        } catch (...) {
            // The record is a courtesy; loading never fails for it.
        }
    }
    ~LibraryLifetime() { linkor::sorncom::unload(); }
};
const LibraryLifetime g_lifetime;

} // namespace

namespace lines = linkor::lines;
using linkor::guarded;

extern "C" {

int32_t LINKOR_API OpenKv(const char* port, int32_t, int32_t) {
    return guarded([&] { return lines::open(port); });
}
int32_t LINKOR_API InitKv(int32_t line, const char* baud, const char* protocol,
                          const char* initial) {
    return guarded([&] { return lines::init(line, baud, protocol, initial); });
}
int32_t LINKOR_API DialogueKv(int32_t line, const char* command, char* reply) {
    return guarded([&] { return lines::dialogue(line, command, reply); });
}
int32_t LINKOR_API DialogueKvEx(int32_t line, const char* command, char* reply,
                                int32_t* moduleStatus) {
    return guarded([&] { return lines::dialogueEx(line, command, reply, moduleStatus); });
}
int32_t LINKOR_API CloseKv(int32_t line) {
    return guarded([&] { return lines::close(line); });
}
int32_t LINKOR_API SuspendKv(int32_t line) {
    return guarded([&] { return lines::suspend(line); });
}
int32_t LINKOR_API ResumeKv(int32_t line) {
    return guarded([&] { return lines::resume(line); });
}
int32_t LINKOR_API InitBreakKv(int32_t line, LinkorBreakNotify notify, char** result,
                               int32_t waitMs) {
    return guarded([&] { return lines::initBreak(line, notify, result, waitMs); });
}
int32_t LINKOR_API StartBreakKv(int32_t line, int32_t count, int32_t bits) {
    return guarded([&] { return lines::startBreak(line, count, bits); });
}
int32_t LINKOR_API StopBreakKv(int32_t line) {
    return guarded([&] { return lines::stopBreak(line); });
}
int32_t LINKOR_API ChangeBaudRateKv(int32_t line, const char* baud) {
    return guarded([&] { return lines::changeBaud(line, baud); });
}
int32_t LINKOR_API GetIdentityKv(char* out) {
    return guarded([&] { return lines::identity(out); });
}
int32_t LINKOR_API GetPortsKv(char* out) {
    return guarded([&] { return lines::ports(out); });
}
int32_t LINKOR_API GetTypesModulesKv(char* out) {
    return guarded([&] { return lines::types(out); });
}
int32_t LINKOR_API GetProtocolesKv(char* out, const char* type) {
    return guarded([&] { return lines::protocols(out, type); });
}
int32_t LINKOR_API GetVitessesKv(char* out, const char* type, const char* protocol) {
    return guarded([&] { return lines::bauds(out, type, protocol); });
}
int32_t LINKOR_API GetMessageErreurKv(char* out, int32_t code) {
    return guarded([&] { return lines::message(out, code); });
}
int32_t LINKOR_API SetConfigDrvKv(const char* language) {
    return guarded([&] { return lines::setLanguage(language); });
}
int32_t LINKOR_API SetPriorityKv(int32_t line, const char* priority) {
    return guarded([&] { return lines::setPriority(line, priority); });
}
int32_t LINKOR_API SetSyntaxeKv(int32_t line, const char* syntax) {
    return guarded([&] { return lines::setSyntax(line, syntax); });
}

} // extern "C"
