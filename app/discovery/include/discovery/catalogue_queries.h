// The catalogue questions the configuration window asks, one method per operation of the
// catalogue query request. The window answers them through the dispatcher; linkorctl and the
// tests answer them from the catalogue library itself (modtyp_catalogue.h).
#pragma once

#include <cstdint>
#include <string>

namespace tamsel::discovery {

/// Operation numbers of the catalogue query record.
namespace catalogue_op {
inline constexpr int32_t kTypeName = 0;
inline constexpr int32_t kTypeModule = 1;
inline constexpr int32_t kTypeAssocied = 2;
inline constexpr int32_t kTypeGenerique = 3;
inline constexpr int32_t kInfoTypeAssocied = 4;
inline constexpr int32_t kStrategy = 5;
inline constexpr int32_t kLabelGenerique = 6;
inline constexpr int32_t kCodeAssocie = 7;
inline constexpr int32_t kAssociateCount = 8;
inline constexpr int32_t kAssociate = 9;
inline constexpr int32_t kTargetName = 10;
inline constexpr int32_t kFindCmde = 12;
} // namespace catalogue_op

/// The strategy kind that says which line settings a command can change, and its bits.
inline constexpr int32_t kLineSettingsStrategy = 10;
inline constexpr int32_t kChangesAddress = 1 << 0;
inline constexpr int32_t kChangesBaud = 1 << 1;
inline constexpr int32_t kChangesProtocol = 1 << 2;

/// Purposes of FindCmde that this window uses.
namespace command_purpose {
inline constexpr int32_t kSetAddress = 1;
inline constexpr int32_t kSetBaud = 2;
inline constexpr int32_t kSetProtocol = 3;
inline constexpr int32_t kReadVersion = 5;
} // namespace command_purpose

/// What an identity reply decodes to (operation 1).
struct DecodedType {
    int32_t code = 0;
    std::string typeName;
    std::string serial;
};

/// A type code with its display name (operations 2 and 3).
struct NamedType {
    int32_t code = 0;
    std::string name;
    bool operator==(const NamedType&) const = default;
};

/**
 * @brief The catalogue as the configuration window needs it.
 *
 * Every method is one query operation; implementations pass the values through unchanged
 * and never decide anything of their own.
 */
class TCatalogueQueries {
  public:
    virtual ~TCatalogueQueries() = default;
    /// 0: the display name of a type code.
    virtual std::string typeName(int32_t code) = 0;
    /// 1: type code, type name and serial number of an identity reply.
    virtual DecodedType typeModule(const std::string& identity) = 0;
    /// 2: the associated type chosen by @p name; @p code is kept when the name is none.
    virtual NamedType typeAssocied(int32_t code, const std::string& name) = 0;
    /// 3: the generic type of @p code.
    virtual NamedType typeGenerique(int32_t code) = 0;
    /// 4: the information text of an associated type name.
    virtual std::string infoTypeAssocied(const std::string& name) = 0;
    /// 5: the strategy number of a type for a kind.
    virtual int32_t strategy(int32_t code, int32_t kind) = 0;
    /// 6: whether a type name is generic.
    virtual bool isLabelGeneric(const std::string& typeName) = 0;
    /// 7: whether a type code is an associated (exact) type.
    virtual bool isCodeAssociated(int32_t code) = 0;
    /// 8: the number of associated types of a generic type code.
    virtual int32_t associateCount(int32_t code) = 0;
    /// 9: the associated type name number @p index (from 1), empty when there is none.
    virtual std::string associate(int32_t code, int32_t index) = 0;
    /// 10: the driver target name of a type.
    virtual std::string targetName(int32_t code) = 0;
    /// 12: the command text a type uses for a purpose, with @p argument inserted.
    virtual std::string findCmde(int32_t code, int32_t purpose, const std::string& argument) = 0;
};

} // namespace tamsel::discovery
