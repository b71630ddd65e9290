/**
 * @file app_request.h
 * How a window asks the application for a service: one synchronous call carrying a
 * request code, a small argument (the sender's dialog number or the code's "hi"
 * argument) and a pointer to a record that the sender owns. The call returns when the
 * result is in the record; from any thread it runs on the user-interface thread.
 */
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace tamsel::shell {

/// The application side of "KVTamsel_01".
class TRequestSink {
  public:
    virtual ~TRequestSink() = default;
    /// Runs request @p code; always returns 0, results come back in @p record.
    virtual std::int32_t request(std::uint16_t code, std::uint16_t hi, void* record) = 0;
};

/// Size of the text buffers exchanged with the application (commands, replies, paths).
inline constexpr int kTextSize = 255;

/// Record of request 0x0f00: which dialog, for which window; the dispatcher fills the two
/// rectangles in pixels.
struct TagDialogGeometry {
    std::int32_t dialogId = 0;
    QWidget* window = nullptr;
    QRect client;
    QRect dialog;
};

/// Record of request 0x5558: one catalogue function and its arguments and result.
struct TagCatalogueQuery {
    std::int32_t operation = 0;
    std::int32_t value = 0;
    char textA[kTextSize] = {};
    /// The identity reply of operation 1.
    const char* input = nullptr;
    char textB[kTextSize] = {};
    std::int32_t argument = 0;
    /// The panel record that operation 13 fills.
    void* data = nullptr;
};

/// Catalogue operations of request 0x5558.
namespace catop {
constexpr std::int32_t kTypeName = 0;
constexpr std::int32_t kTypeModule = 1;
constexpr std::int32_t kTypeAssocied = 2;
constexpr std::int32_t kTypeGenerique = 3;
constexpr std::int32_t kInfoTypeAssocied = 4;
constexpr std::int32_t kStrategy = 5;
constexpr std::int32_t kLabelGenerique = 6;
constexpr std::int32_t kCodeAssocie = 7;
constexpr std::int32_t kAssociateCount = 8;
constexpr std::int32_t kAssociate = 9;
constexpr std::int32_t kTargetName = 10;
/// `GetInfo` 257: value = type code, text a = name in and out, argument = "more" out.
constexpr std::int32_t kVariableInfo = 11;
constexpr std::int32_t kFindCmde = 12;
constexpr std::int32_t kCollectInfo = 13;
} // namespace catop

} // namespace tamsel::shell

namespace tamsel::shell {

/// Record of the list requests (0x0302-0x0307, 0x2300-0x2303, 0x2312, 0x2313, 0x2320):
/// the names a list is filled for, and the list.
struct TagList {
    /// In: the type code (0x0302); the target (0x2302, 0x2303, 0x2312, 0x2313, 0x2320).
    std::int32_t argument = 0;
    QString target;
    /// In: the protocol (0x2303, 0x2313).
    QString protocol;
    /// Out: the items, each item's attached value (-1 where none) and the item to select
    /// (-1 leaves the selection to the window).
    QStringList items;
    QList<std::int32_t> values;
    int selected = -1;
};

/// Record of request 0x6000, the help request of a window.
struct TagHelpInfo {
    std::int32_t contextType = 0;
    std::int32_t controlId = 0;
    std::intptr_t itemHandle = 0;
    std::int32_t contextId = 0;
};

} // namespace tamsel::shell
