#include "backup/line_backup.h"

#include "backup/module_settings.h"
#include "backup/setting_table.h"

#include "modtyp.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace tamsel::backup {

namespace {
// The catalogue's stated bounds, with room to spare.
constexpr std::size_t kNameBuffer = 32;
constexpr int32_t kModelBits = 0xFFFF;
} // namespace

Identity decodeIdentity(const std::string& reply) {
    Identity id;
    char name[kNameBuffer] = "";
    char serial[kNameBuffer] = "";
    int32_t code = 0;
    GetTypeModule(reply.c_str(), &code, name, serial);
    id.typeCode = code & kModelBits;
    id.typeName = name;
    id.serial = serial;
    return id;
}

ModuleRecord readModule(ModuleLine& line, int address, const std::vector<int>& variables) {
    ModuleRecord m;
    m.address = address;
    const std::optional<std::string> reply = line.identity(address);
    if (!reply) {
        return m;
    }
    const Identity id = decodeIdentity(*reply);
    m.answered = true;
    m.typeCode = id.typeCode;
    m.typeName = id.typeName;
    m.serial = id.serial;
    SettingsRead read = readSettings(line, address, id.typeCode, variables);
    m.settings = std::move(read.values);
    m.unread = std::move(read.unread);
    return m;
}

LinePicture readLine(ModuleLine& line, const ReadPlan& plan, const ProgressFn& progress) {
    LinePicture p;
    if (!plan.addresses.empty()) {
        p.firstAddress = *std::min_element(plan.addresses.begin(), plan.addresses.end());
        p.lastAddress = *std::max_element(plan.addresses.begin(), plan.addresses.end());
    }
    int n = 0;
    for (int address : plan.addresses) {
        ++n;
        if (progress) {
            char text[64];
            std::snprintf(text, sizeof text, "module %02d (%d of %zu)", address, n,
                          plan.addresses.size());
            progress(text);
        }
        std::vector<int> variables = plan.variables;
        if (const auto it = plan.moduleVariables.find(address); it != plan.moduleVariables.end()) {
            variables.insert(variables.end(), it->second.begin(), it->second.end());
        }
        std::sort(variables.begin(), variables.end());
        variables.erase(std::unique(variables.begin(), variables.end()), variables.end());
        std::vector<std::string> targets;
        if (const auto it = plan.moduleTargets.find(address); it != plan.moduleTargets.end()) {
            targets.push_back(it->second);
        }
        for (const std::string& t : plan.targets) {
            if (std::find(targets.begin(), targets.end(), t) == targets.end()) {
                targets.push_back(t);
            }
        }
        if (targets.empty()) {
            p.modules.push_back(readModule(line, address, variables));
            continue;
        }
        ModuleRecord m;
        for (const std::string& t : targets) {
            if (!line.selectTarget(t)) {
                continue;
            }
            m = readModule(line, address, variables);
            if (m.answered) {
                m.target = t;
                break;
            }
        }
        m.address = address;
        p.modules.push_back(std::move(m));
    }
    return p;
}

ReadPlan planFor(const LinePicture& backup) {
    std::set<int> addresses;
    for (int a = backup.firstAddress; a <= backup.lastAddress; ++a) {
        addresses.insert(a);
    }
    ReadPlan plan;
    std::set<std::string> targets;
    for (const ModuleRecord& m : backup.modules) {
        addresses.insert(m.address);
        if (!m.target.empty()) {
            targets.insert(m.target);
            plan.moduleTargets[m.address] = m.target;
        }
        for (const auto& [key, value] : m.settings) {
            if (const auto n = variableNumber(key)) {
                plan.moduleVariables[m.address].push_back(*n);
            }
        }
    }
    plan.addresses.assign(addresses.begin(), addresses.end());
    plan.targets.assign(targets.begin(), targets.end());
    return plan;
}

} // namespace tamsel::backup
