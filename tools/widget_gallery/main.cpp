// widget_gallery [--screenshot FILE]: shows the instrument widgets; with --screenshot it
// saves a picture of the window and quits.
#include "gallery_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    tamsel::gallery::TGalleryWindow window;
    window.show();
    if (parser.isSet(screenshot)) {
        QApplication::processEvents();
        const QString file = parser.value(screenshot);
        if (!window.grab().save(file)) {
            std::fprintf(stderr, "widget_gallery: cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}
