// Records written out field by field, so that a table case that fails shows every field
// that differs, and so that records compare without looking at padding bytes.
#pragma once

#include <comm/comm_records.h>
#include <comm/texts.h>

#include <sstream>
#include <string>

namespace commtest {

inline std::string describe(const tkv::TagStatus& s) {
    std::ostringstream o;
    o << "pos=" << s.position << " power=" << int(s.power) << " moving=" << int(s.moving)
      << " in=" << s.inputs << " out=" << s.outputs << " fn=" << s.function << " stage=" << s.stage
      << " err=" << s.errorCode << " exe=" << s.execute << " sw=" << s.statusWord
      << " noExtras=" << int(s.noExtras) << " x1=" << tkv::text::view(s.extraName1) << ":"
      << s.extraValue1 << " x2=" << tkv::text::view(s.extraName2) << ":" << s.extraValue2;
    return o.str();
}

inline std::string describe(const tkv::TagParamBlock& p) {
    std::ostringstream o;
    o << "res=" << p.resolution << " start=" << p.startSpeed << " max=" << p.maxSpeed
      << " ramp=" << p.rampTime << " decel=" << p.decelTime << " sep=" << int(p.separateDecel)
      << " cur=" << p.currentCode << " standby=" << p.standbyMode << " ind=" << p.indicators
      << " factor=" << p.currentFactor;
    return o.str();
}

inline std::string describe(const tkv::TagSpecificMode& m) {
    std::ostringstream o;
    o << "valid=" << int(m.dataValid) << " caps=" << m.capabilities
      << " sup=" << int(m.powerOnSupported) << int(m.endSensorsSupported) << int(m.reverseSupported)
      << int(m.slidingSupported) << int(m.autoOutputSupported) << " sd=" << m.powerOnFunction
      << " ends=" << int(m.endSensors) << " dg=" << m.slidingDistance
      << " rev=" << int(m.reverseInputs) << " auto=" << int(m.autoOutput) << std::hex
      << " settings=0x" << static_cast<uint32_t>(m.autoOutputSettings) << std::dec
      << " gp=" << m.setPosition << ":" << m.resetPosition;
    return o.str();
}

inline std::string describe(const tkv::TagMotion& m) {
    std::ostringstream o;
    o << "sub=" << m.subKind << " setpos=" << m.positionToSet << " sw=" << m.statusWord
      << " setout=" << m.outputToSet << " rel=" << m.relativeDistance << " abs=" << m.absoluteTarget
      << " speed=" << m.moveSpeed << " low=" << m.lowSpeed << " high=" << m.highSpeed
      << " acc=" << m.accelTime << " dec=" << m.decelTime << " tra=" << m.torqueRatio
      << " lto=" << m.lowTorque << " nen=" << m.negativeEnd << " pen=" << m.positiveEnd
      << " opt=" << int(m.optimizedCurrent) << " smo=" << int(m.standbyMode)
      << " hard=" << int(m.hardEnds) << " soft=" << int(m.softEnds) << " mode=" << m.moveMode;
    return o.str();
}

inline std::string describe(const tkv::TagV2334Settings& v) {
    std::ostringstream o;
    o << "sub=" << v.subKind << " bn=" << v.bn << " bp=" << v.bp << " gi=" << v.gi << " wh=" << v.wh
      << " wt=" << v.wt << " wl=" << v.wl << " dg=" << v.dg << " ga=" << v.ga << " gf=" << v.gf
      << " gfsel=" << int(v.gfSelected) << " ms=" << int(v.ms) << " r=" << int(v.flagR)
      << " s=" << int(v.flagS);
    return o.str();
}

inline std::string describe(const tkv::TagVariableValue& v) {
    std::ostringstream o;
    o << "value=" << v.value << " second=" << v.second;
    return o.str();
}

} // namespace commtest
