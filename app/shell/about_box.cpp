#include "about_box.h"

#include "shell_codes.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamsel::shell {

void showAboutBox(QWidget* parent, const QString& version, const QString& driverIdentity) {
    QDialog box(parent);
    box.setObjectName(QString::number(dlg::kAbout));
    box.setWindowTitle(QStringLiteral("About Tamsel2"));
    auto* layout = new QVBoxLayout(&box);
    const struct {
        const char* name;
        QString text;
    } lines[] = {{"product", QStringLiteral("Tamsel2 ")},
                 {"version", version},
                 {"driver", driverIdentity},
                 {"copyright", QStringLiteral("Copyright (C) Korvel. All rights reserved.")}};
    for (const auto& line : lines) {
        auto* label = new QLabel(line.text, &box);
        label->setObjectName(QStringLiteral("%1.%2").arg(dlg::kAbout).arg(line.name));
        layout->addWidget(label);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setObjectName(QStringLiteral("%1.ok").arg(dlg::kAbout));
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    box.exec();
}

} // namespace tamsel::shell
