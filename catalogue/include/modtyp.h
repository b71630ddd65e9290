/*
 * modtyp — the module catalogue.
 *
 * What the system knows about drive-module models: type codes and their
 * display names, the controller family ("target") of a type, generic and
 * associated types, how an identity reply decodes to a type code and a serial
 * number, the strategy numbers that select behaviour in the program, the
 * variable tables of the families, a few family-specific service commands and
 * the family defaults of the panel records.
 *
 * Type codes are 32-bit; only the low 16 bits name the model (bits 8-15 the
 * family, bits 0-7 the variant). An identity that carries a firmware version
 * puts it in bits 16-31 (major in 24-31, minor in 16-23). Every function looks
 * at the low 16 bits only.
 *
 * Output buffers belong to the caller and carry no size; these are the bounds
 * the library keeps to:
 *   - type and target names:            at most 11 characters + NUL (12 bytes)
 *   - serial numbers:                   at most 15 characters + NUL (16 bytes)
 *   - GetInfo variable names:           at most 15 characters + NUL (16 bytes);
 *     the longest family variable, "CPU_TEMPERATURE", does not fit 12 bytes
 *   - GetInfoTypeAssocied info text:    at most 28 characters + NUL (29 bytes)
 *   - FindCmde command text:            at most 254 characters + NUL (255
 *     bytes), the caller's argument is cut to fit
 *   - CollectInfo record:               103 bytes for families 0x50 and 0x60,
 *     97 bytes for families 0x30 and 0x40, nothing written otherwise
 * Input texts are read up to their NUL, and never further than 1024 bytes.
 * A null pointer in place of any buffer is ignored; nothing is written there.
 *
 * Identity decoding (GetTypeModule), the choices this library makes where the
 * rules leave room. The identity is the module's reply as the driver returns
 * it, the two address digits first; character positions count from one.
 *   - The identity is scanned like "%s %d %d": a word of non-blank characters,
 *     then the model number M and the variant word W as optionally signed
 *     decimals; a number that does not follow counts as missing (-1).
 *     Numbers beyond the 32-bit range saturate.
 *   - "The high byte of W is 0xFE" means (W & 0xFF00) == 0xFE00.
 *   - For M in 101-109 the missing-W test comes first: "03V 105" without a W
 *     decodes as family 0 (UNKNOW), not as 0xFEFF.
 *   - Family 4 variant: x = W & 0x67, bit 3 set when bit 6 of x is set; odd x
 *     gives x & 0x0F; even x gives (x & 0x09) plus bit 1 when bit 5 of W is
 *     set (the bit-1 rule belongs to the even case only).
 *   - A decodable model number (M present, family and variant valid) gives
 *     family * 256 + variant; M present but invalid gives 0xFF00; M missing
 *     falls to the hardware forms below, else 0xFF00.
 *   - Hardware form "EV v" (looked for first): the version is read as
 *     "<major>.<minor>" (decimal, "%d.%d") from the seventh character; both
 *     numbers are needed, else the version is 0. The hardware code is empty,
 *     so a version above 0 gives 0x1001.
 *   - Hardware form "ev ": the hardware code is characters 6-9 and the
 *     version is read as hexadecimal ("%x") from the eleventh character. An
 *     unknown code with a version above 0 gives 0x1001.
 *   - These positions are those of the VRX23/VRX34 identity read, whose reply
 *     is the address, "EV" (or "ev"), a blank, the eight characters of the
 *     closing identity frame and the identity text. A module of the other
 *     families makes its first word reach past the version, so that no number
 *     follows it and a hardware code that begins with a digit is not taken
 *     for a model number:
 *       "03V 25 65535"                               0x0100  ka?1
 *       "03V 50 65029"          (W = 0xFE05)         0x0205  KB01 v40
 *       "03V 85 65096 _KORVEL_Serie042_"  (0xFE48)   0x0408  KC61 v80, "042"
 *       "03ev P461.069 VRX23 rev 1.05 _KORVEL_Serie07_"       0x3001, "07"
 *       "03HW-2471.069 DVRX rev 1.05 _KORVEL_Serie01_"   0x01056020, "01"
 *       "03EV v1.05"                          0x1001  RT01, "bad number"
 *   - Serial number: families 0x10, 0x30, 0x40, 0x50, 0x60 and family 0x04
 *     codes with bit 3 set take the text that begins six characters after the
 *     second "_" and runs up to the next "_" or the end, cut to 15
 *     characters; "bad number" when there is no second "_"; empty when the
 *     identity ends before the serial starts. Other families: empty.
 *
 * GetInfo: "the name holds first" means the name equals "first". The one
 * iteration position is shared by all families; a position that lies beyond
 * the table of the family asked for (left there by a longer table) restarts
 * that table at its first entry instead of reading past its end.
 * The two family 0x60 variables without a name of their own are
 * "OUTPUT_ANALOG" (seventh) and "COUNTER" (twenty-third).
 */
#ifndef MODTYP_H
#define MODTYP_H

#include <stdint.h>

/* Calling convention: the historical one of the 32-bit Windows library. */
#if defined(_WIN32) && !defined(_WIN64)
#define MODTYP_API __stdcall
#else
#define MODTYP_API
#endif

#if defined(_WIN32)
#if defined(MODTYP_BUILDING)
#define MODTYP_EXPORT __declspec(dllexport)
#else
#define MODTYP_EXPORT __declspec(dllimport)
#endif
#else
#define MODTYP_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/**
 * @brief Display name of a module type.
 * @param code type code (low 16 bits used).
 * @param name out: the name, at most 11 characters + NUL; families 0x02,
 *             0x03 and 0x04 carry the suffix " v40", " v72" or " v80".
 *             Unknown variants give "default", family 0x00 "UNKNOW",
 *             family 0xFF "DEFAULT".
 * @return name.
 */
MODTYP_EXPORT char* MODTYP_API GetTypeName(int32_t code, char* name);

/**
 * @brief Decodes a module's identity reply.
 * @param identity the reply text (see the decoding rules at the top).
 * @param code     out: the type code, with the firmware version in bits 16-31
 *                 for the hardware codes that carry it; 0xFF00 when nothing
 *                 decodes.
 * @param typeName out: GetTypeName of the code (12 bytes).
 * @param serial   out: the serial number (16 bytes), "bad number" or empty.
 * @return 1.
 */
MODTYP_EXPORT int32_t MODTYP_API GetTypeModule(const char* identity, int32_t* code, char* typeName,
                                               char* serial);

/**
 * @brief Strategy number of a type for a kind of behaviour.
 * @param code type code.
 * @param kind 1 resolution kind, 2 current kind, 3 indicator mask, 4 controller
 *             generation, 5 variable count, 6 output mode, 7 specific-mode
 *             capabilities, 8 speed mode, 9 ramp kind, 10 line settings that a
 *             command can change (bit 0 address, 1 baud rate, 2 protocol).
 * @return the strategy number, 0 where the type has none.
 */
MODTYP_EXPORT int32_t MODTYP_API RechercheStrategie(int32_t code, int32_t kind);

/**
 * @brief Type code of an associated type chosen by name.
 * @param code in/out: becomes 0x0180, 0x0181, 0x0380, 0x0382 or 0x0383 when
 *             the name is exactly "KA61", "KA01", "KB61", "KB41" or "KB81";
 *             otherwise unchanged.
 * @param name in/out: the chosen name (read up to 12 bytes); receives
 *             GetTypeName of the resulting code.
 * @return name.
 */
MODTYP_EXPORT char* MODTYP_API GetTypeAssocied(int32_t* code, char* name);

/**
 * @brief Generic type of an associated type.
 * @param code in/out: 0x0180 and 0x0181 become 0x0100, 0x0380 and 0x0382
 *             become 0x0300; other codes stay.
 * @param name out: GetTypeName of the resulting code.
 * @return name.
 */
MODTYP_EXPORT char* MODTYP_API GetTypeGenerique(int32_t* code, char* name);

/**
 * @brief Description of an associated type.
 * @param name the type name.
 * @param info out: the name itself for "KA01", "KA61", "KB41" and "KB61",
 *             else "defaut pointage voir avec QZ" (29 bytes).
 */
MODTYP_EXPORT void MODTYP_API GetInfoTypeAssocied(const char* name, char* info);

/**
 * @brief Whether a type label is generic.
 * @return 1 when the label contains "?", else 0 (also for a null label).
 */
MODTYP_EXPORT int32_t MODTYP_API IsLabelTypeGenerique(const char* label);

/**
 * @brief Whether a type code is an associated type.
 * @return bit 7 of the code (0 or 1).
 */
MODTYP_EXPORT int32_t MODTYP_API IsCodeTypeAssocie(int32_t code);

/**
 * @brief Associated types of a generic type.
 * @param index 0 asks for the count; 1 and 2 for the first and second name.
 * @param code  the generic type code (0x0100 or 0x0300).
 * @param name  out for indexes 1 and 2: "KA01"/"KA61" for 0x0100,
 *              "KB61"/"KB41" for 0x0300; unchanged for other codes.
 * @return with index 0, 2 for a generic code and 0 otherwise; else 0.
 */
MODTYP_EXPORT int32_t MODTYP_API GetAssociate(int32_t index, int32_t code, char* name);

/**
 * @brief Controller family ("target") name of a type.
 * @param name out: "UNKNOW", "TRILO", "MICROTRILO", "VRX23", "VRX34",
 *             "VRX17", "DVRX", "DEFAULT" or "FAULT".
 * @return name.
 */
MODTYP_EXPORT char* MODTYP_API GetTargetName(int32_t code, char* name);

/**
 * @brief Iterates the variable table of a family.
 * @param request only 257 does anything.
 * @param code    type code: families 0x10, 0x50 and 0x60 iterate; families
 *                0x30, 0x40, 0xFF and codes below 0x0500 give "none";
 *                other codes leave name and more untouched.
 * @param name    in/out (16 bytes): "first" restarts the iteration; receives
 *                the current variable name.
 * @param more    out: 1 while names follow; 0 with the last name, and the
 *                position then goes back to the start.
 * @note The position is one for the whole library and not locked: callers
 *       must not interleave iterations.
 */
MODTYP_EXPORT void MODTYP_API GetInfo(int32_t request, int32_t code, char* name, int32_t* more);

/**
 * @brief Service command text of a family.
 * @param code     type code.
 * @param purpose  1 set address, 2 set baud rate, 3 set protocol, 5 read
 *                 version, 6 read error, 7 clear error, 8 reference module
 *                 name; anything else gives "GS".
 * @param argument text inserted into the command (null counts as empty).
 * @param command  out: the command text (at most 255 bytes with the NUL).
 * @return command.
 */
MODTYP_EXPORT char* MODTYP_API FindCmde(int32_t code, int32_t purpose, const char* argument,
                                        char* command);

/**
 * @brief Writes the family defaults into a panel record.
 * @param code    type code: families 0x30, 0x40, 0x50 and 0x60 have defaults.
 * @param request only 1 does anything.
 * @param record  the packed record shared with the program; 32-bit fields are
 *                written unaligned in the machine's byte order.
 */
MODTYP_EXPORT void MODTYP_API CollectInfo(int32_t code, int32_t request, void* record);

#ifdef __cplusplus
}
#endif

#endif /* MODTYP_H */
