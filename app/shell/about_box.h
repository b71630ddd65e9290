// The About box (dialog 22000): product, version, the driver's identity and copyright.
#pragma once

#include <QString>

class QWidget;

namespace tamsel::shell {

/// Shows the box modally over @p parent.
void showAboutBox(QWidget* parent, const QString& version, const QString& driverIdentity);

} // namespace tamsel::shell
