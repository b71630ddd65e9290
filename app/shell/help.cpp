#include "help.h"

#include "prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace tamsel::shell {

THelp::THelp(TPrompter& prompter) : m_prompter(prompter) {}

THelp::~THelp() {
    quit();
}

QTextBrowser* THelp::browser() {
    if (m_browser == nullptr) {
        m_browser = new QTextBrowser;
        m_browser->setObjectName(QStringLiteral("helpWindow"));
        m_browser->setAttribute(Qt::WA_DeleteOnClose);
        m_browser->setWindowTitle(QStringLiteral("Tamsel2 Help"));
        m_browser->setOpenExternalLinks(false);
        m_browser->resize(640, 520);
    }
    return m_browser;
}

bool THelp::showAnchor(QWidget* owner, const QString& anchor) {
    const QFileInfo file(QDir::current().filePath(QString::fromLatin1(kFile)));
    if (!file.isFile()) {
        TBox box;
        box.title = QStringLiteral("Tamsel2 Help");
        box.text = QStringLiteral("Unable to open the help file %1").arg(file.filePath());
        box.icon = TBoxIcon::Exclamation;
        m_prompter.ask(owner, box);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (!anchor.isEmpty()) {
        url.setFragment(anchor);
    }
    QTextBrowser* view = browser();
    view->setSource(url);
    if (!anchor.isEmpty()) {
        view->scrollToAnchor(anchor);
    }
    m_anchor = anchor;
    view->show();
    view->raise();
    return true;
}

bool THelp::contents(QWidget* owner) {
    m_used = true;
    return showAnchor(owner, {});
}

bool THelp::topic(QWidget* owner, int context) {
    return showAnchor(owner, QString::number(context));
}

void THelp::helpOnHelp(QWidget* owner) {
    m_used = true;
    if (!showAnchor(owner, QStringLiteral("usinghelp"))) {
        return;
    }
}

void THelp::quit() {
    if (m_browser != nullptr) {
        m_browser->close();
    }
}

bool THelp::shown() const {
    return m_browser != nullptr && m_browser->isVisible();
}

QString THelp::shownAnchor() const {
    return shown() ? m_anchor : QString();
}

} // namespace tamsel::shell
