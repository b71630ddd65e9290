#include "main_frame.h"

#include "shell_codes.h"
#include "shell_strings.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

// The tool bar's pictures are compiled into the program; a static library has to load
// its resources by hand, from outside any namespace.
static void loadToolIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace tamsel::shell {

namespace {

// The tool bar's bitmaps: small glyphs drawn here, so that no image file can be missing.
QIcon glyph(const QString& text, const QColor& background, const QColor& ink = Qt::white) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(background);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 22, 22), 4, 4);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(text.size() > 2 ? 8 : 12);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

QIcon stopGlyph() {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF octagon;
    const double a = 7, b = 17;
    octagon << QPointF(a, 1) << QPointF(b, 1) << QPointF(23, a) << QPointF(23, b) << QPointF(b, 23)
            << QPointF(a, 23) << QPointF(1, b) << QPointF(1, a);
    painter.setBrush(QColor(200, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(octagon);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(7);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("STOP"));
    return QIcon(pixmap);
}

// The picture of a tool-bar command, from the program's resources; where this Qt cannot read
// SVG the drawn glyph stands in, so that a button is never blank.
QIcon toolIcon(const char* name, const QIcon& fallback) {
    if (!QImageReader::supportedImageFormats().contains("svg")) {
        return fallback;
    }
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QString plain(QString text) {
    const auto tab = text.indexOf('\t');
    if (tab >= 0) {
        text.truncate(tab);
    }
    return text.remove('&').trimmed();
}

// A button that shows only a picture still tells a screen reader what it does.
void nameButtons(QToolBar& bar) {
    for (QAction* a : bar.actions()) {
        if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(a))) {
            button->setAccessibleName(plain(a->text()));
        }
    }
}

} // namespace

TMainFrame::TMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TMainFrame"));
    setWindowTitle(QString::fromLatin1(kMainTitle));
    m_area = new QMdiArea(this);
    m_area->setObjectName(QStringLiteral("mdiClient"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);

    // Menu bar, left to right.
    QMenuBar* bar = menuBar();
    m_fileMenu = bar->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("menuFile"));
    addCommand(m_fileMenu, cmd::kFileNew, QStringLiteral("&New ..."));
    addCommand(m_fileMenu, cmd::kFileOpen, QStringLiteral("&Open..."));
    addCommand(m_fileMenu, cmd::kFileClose, QStringLiteral("&Close"));
    m_fileMenu->addSeparator();
    addCommand(m_fileMenu, cmd::kFileSave, QStringLiteral("&Save"));
    addCommand(m_fileMenu, cmd::kFileSaveAs, QStringLiteral("Save &As..."));
    m_fileMenu->addSeparator();
    addCommand(m_fileMenu, cmd::kFilePrintSetup, QStringLiteral("P&rint setup..."));
    addCommand(m_fileMenu, cmd::kFilePrintPreview, QStringLiteral("Print pre&view..."));
    addCommand(m_fileMenu, cmd::kFilePrint, QStringLiteral("&Print..."));
    m_recentSeparator = m_fileMenu->addSeparator();
    m_exitAction = addCommand(m_fileMenu, cmd::kExit, QStringLiteral("E&xit\tAlt+F4"));
    m_exitAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    m_frameMenus << m_fileMenu->menuAction();

    QAction* configuration = makeCommand(cmd::kConfiguration, QStringLiteral("&Configuration"));
    bar->addAction(configuration);
    m_frameMenus << configuration;

    QMenu* exchanges = bar->addMenu(QStringLiteral("E&xchanges"));
    exchanges->setObjectName(QStringLiteral("menuExchanges"));
    addCommand(exchanges, cmd::kDialog, QStringLiteral("&Dialog\tAlt F9"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F9));
    addCommand(exchanges, cmd::kPanel, QStringLiteral("Panel\tAlt F8"))
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F8));
    exchanges->addSeparator();
    addCommand(exchanges, cmd::kParameters, QStringLiteral("&Parameters"));
    addCommand(exchanges, cmd::kDirectMotion, QStringLiteral("Direct - &Motion"));
    addCommand(exchanges, cmd::kFamilyControl, QStringLiteral("Vrx Control"));
    exchanges->addSeparator();
    addCommand(exchanges, cmd::kSpecificModes, QStringLiteral("&Specific modes"));
    addCommand(exchanges, cmd::kVariables, QStringLiteral("&Variables"));
    m_frameMenus << exchanges->menuAction();

    QMenu* window = bar->addMenu(QStringLiteral("&Window"));
    window->setObjectName(QStringLiteral("menuWindow"));
    addCommand(window, cmd::kCascade, QStringLiteral("&Cascade"));
    addCommand(window, cmd::kTile, QStringLiteral("&Tile"));
    addCommand(window, cmd::kArrangeIcons, QStringLiteral("Arrange &Icons"));
    addCommand(window, cmd::kCloseAll, QStringLiteral("C&lose all"));
    m_windowMenuAction = window->menuAction();
    m_frameMenus << m_windowMenuAction;

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    addCommand(help, cmd::kHelpContents, QStringLiteral("&Contents"));
    addCommand(help, cmd::kHelpOnHelp, QStringLiteral("&Using help"));
    help->addSeparator();
    addCommand(help, cmd::kAbout, QStringLiteral("&About..."));
    m_frameMenus << help->menuAction();

    for (QMenu* menu : {m_fileMenu, exchanges, window, help}) {
        connect(menu, &QMenu::aboutToShow, this, &TMainFrame::aboutToUpdate);
    }

    // Commands of the tool bar only.
    makeCommand(cmd::kEditUndo, QStringLiteral("Undo"));
    makeCommand(cmd::kEditCut, QStringLiteral("Cut"));
    makeCommand(cmd::kEditCopy, QStringLiteral("Copy"));
    makeCommand(cmd::kEditPaste, QStringLiteral("Paste"));
    makeCommand(cmd::kEditFind, QStringLiteral("Find"));
    makeCommand(cmd::kEditFindNext, QStringLiteral("Find next"));
    QAction* helpMode = makeCommand(cmd::kHelpMode, QStringLiteral("What's This ?"));
    helpMode->setCheckable(true);
    makeCommand(cmd::kEmergencyStop,
                QStringLiteral("Quick stop and motor power off \nemergency stop"));

    loadToolIcons();
    const QStyle* look = style();
    action(cmd::kFileNew)->setIcon(look->standardIcon(QStyle::SP_FileIcon));
    action(cmd::kFileOpen)->setIcon(look->standardIcon(QStyle::SP_DialogOpenButton));
    action(cmd::kFileSave)->setIcon(look->standardIcon(QStyle::SP_DialogSaveButton));
    action(cmd::kConfiguration)
        ->setIcon(toolIcon("configuration", glyph(QStringLiteral("CFG"), QColor(0, 90, 160))));
    action(cmd::kDialog)
        ->setIcon(toolIcon("dialog", glyph(QStringLiteral("DLG"), QColor(0, 120, 60))));
    action(cmd::kPanel)
        ->setIcon(toolIcon("panel", glyph(QStringLiteral("PNL"), QColor(120, 60, 0))));
    action(cmd::kParameters)
        ->setIcon(toolIcon("parameters", glyph(QStringLiteral("PAR"), QColor(90, 90, 90))));
    action(cmd::kDirectMotion)
        ->setIcon(toolIcon("direct_motion", glyph(QStringLiteral("MOT"), QColor(90, 90, 90))));
    action(cmd::kVariables)
        ->setIcon(toolIcon("variables", glyph(QStringLiteral("VAR"), QColor(90, 90, 90))));
    action(cmd::kFamilyControl)
        ->setIcon(toolIcon("vrx17_control", glyph(QStringLiteral("V17"), QColor(110, 0, 110))));
    action(cmd::kEditCut)
        ->setIcon(toolIcon("edit_cut", glyph(QStringLiteral("CUT"), QColor(60, 60, 60))));
    action(cmd::kEditCopy)
        ->setIcon(toolIcon("edit_copy", glyph(QStringLiteral("CPY"), QColor(60, 60, 60))));
    action(cmd::kEditPaste)
        ->setIcon(toolIcon("edit_paste", glyph(QStringLiteral("PST"), QColor(60, 60, 60))));
    action(cmd::kEditUndo)
        ->setIcon(toolIcon("edit_undo", glyph(QStringLiteral("UND"), QColor(60, 60, 60))));
    action(cmd::kEditFind)
        ->setIcon(toolIcon("edit_find", glyph(QStringLiteral("FND"), QColor(60, 60, 60))));
    action(cmd::kEditFindNext)
        ->setIcon(toolIcon("edit_find_next", glyph(QStringLiteral("NXT"), QColor(60, 60, 60))));
    helpMode->setIcon(
        toolIcon("help_mode", glyph(QStringLiteral("?"), QColor(230, 200, 0), Qt::black)));
    action(cmd::kEmergencyStop)->setIcon(toolIcon("emergency_stop", stopGlyph()));

    // Tool bar, left to right.
    m_toolBar = new QToolBar(QStringLiteral("Main ToolBar"), this);
    m_toolBar->setObjectName(QStringLiteral("Main ToolBar"));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_toolBar->addAction(action(cmd::kConfiguration));
    addGap(6);
    m_toolBar->addAction(action(cmd::kDialog));
    addGap(2);
    auto* label = new QLabel(QStringLiteral("Selected device:"), m_toolBar);
    label->setObjectName(QStringLiteral("selectedDeviceLabel"));
    m_toolBar->addWidget(label);
    m_selector = new QComboBox(m_toolBar);
    m_selector->setObjectName(QString::number(cmd::kDeviceSelector));
    m_selector->setFixedWidth(160);
    m_selector->setMaxVisibleItems(12);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setBold(true);
    tahoma.setPixelSize(12);
    m_selector->setFont(tahoma);
    m_toolBar->addWidget(m_selector);
    addGap(12);
    m_toolBar->addAction(action(cmd::kPanel));
    addGap(6);
    // The family group lives between here and the next gap.
    auto* end = new QWidget(m_toolBar);
    end->setFixedWidth(18);
    m_familyEnd = m_toolBar->addWidget(end);
    for (int id : {cmd::kFileNew, cmd::kFileOpen, cmd::kFileSave}) {
        m_toolBar->addAction(action(id));
    }
    addGap(6);
    for (int id : {cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste, cmd::kEditUndo}) {
        m_toolBar->addAction(action(id));
    }
    addGap(6);
    m_toolBar->addAction(action(cmd::kEditFind));
    m_toolBar->addAction(action(cmd::kEditFindNext));
    addGap(20);
    m_toolBar->addAction(helpMode);
    m_toolBar->addAction(action(cmd::kEmergencyStop));
    setFamilyGroup(family::kTrilo);

    // Status bar: message area, the Caps Lock, Num Lock and overtype indicators, the line
    // field.
    QStatusBar* status = statusBar();
    status->setSizeGripEnabled(true);
    m_message = new QLabel(status);
    m_message->setObjectName(QStringLiteral("statusMessage"));
    m_message->setFrameShape(QFrame::Panel);
    m_message->setFrameShadow(QFrame::Sunken);
    status->addWidget(m_message, 1);
    const auto indicator = [status](const char* text, const char* name) {
        auto* shown = new QLabel(QString::fromLatin1(text), status);
        shown->setObjectName(QString::fromLatin1(name));
        shown->setFrameShape(QFrame::Panel);
        shown->setFrameShadow(QFrame::Sunken);
        shown->setEnabled(false);
        status->addPermanentWidget(shown);
        return shown;
    };
    m_caps = indicator("CAP", "statusCapsLock");
    m_num = indicator("NUM", "statusNumLock");
    m_overtype = indicator("OVR", "statusOvertype");
    m_line = new QLabel(status);
    m_line->setObjectName(QStringLiteral("statusLine"));
    m_line->setFrameShape(QFrame::Panel);
    m_line->setFrameShadow(QFrame::Sunken);
    m_line->setMinimumWidth(m_line->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 13);
    status->addPermanentWidget(m_line);
}

QAction* TMainFrame::makeCommand(int id, const QString& text) {
    auto* a = new QAction(text, this);
    a->setObjectName(QString::number(id));
    a->setToolTip(id == cmd::kEmergencyStop || id == cmd::kHelpMode ? text : plain(text));
    a->setStatusTip(a->toolTip());
    connect(a, &QAction::triggered, this, [this, id] { emit command(id); });
    m_actions.insert(id, a);
    return a;
}

QAction* TMainFrame::addCommand(QMenu* menu, int id, const QString& text) {
    QAction* a = makeCommand(id, text);
    menu->addAction(a);
    return a;
}

void TMainFrame::addGap(int pixels) {
    auto* gap = new QWidget(m_toolBar);
    gap->setFixedWidth(pixels);
    m_toolBar->addWidget(gap);
}

void TMainFrame::setFamilyGroup(int mask) {
    for (QAction* a : m_familyActions) {
        m_toolBar->removeAction(a);
    }
    m_familyActions.clear();
    QList<int> ids;
    switch (mask) {
    case family::kTrilo:
        ids = {cmd::kParameters, cmd::kDirectMotion, cmd::kVariables};
        break;
    case family::kMicroTrilo:
        ids = {cmd::kParameters, cmd::kDirectMotion};
        break;
    case family::kVrx17OrDvrx:
        action(cmd::kFamilyControl)
            ->setIcon(toolIcon("vrx17_control", glyph(QStringLiteral("V17"), QColor(110, 0, 110))));
        action(cmd::kFamilyControl)->setProperty("bitmap", 3978);
        ids = {cmd::kFamilyControl};
        break;
    case family::kVrx23OrVrx34:
        action(cmd::kFamilyControl)
            ->setIcon(toolIcon("v234_control", glyph(QStringLiteral("V23"), QColor(0, 110, 110))));
        action(cmd::kFamilyControl)->setProperty("bitmap", 3979);
        ids = {cmd::kFamilyControl};
        break;
    default:
        break;
    }
    for (int id : ids) {
        m_toolBar->insertAction(m_familyEnd, action(id));
        m_familyActions.append(action(id));
    }
    nameButtons(*m_toolBar);
}

QList<int> TMainFrame::familyGroup() const {
    QList<int> ids;
    for (QAction* a : m_familyActions) {
        ids.append(a->objectName().toInt());
    }
    return ids;
}

void TMainFrame::setMessage(const QString& text) {
    m_message->setText(text);
}

QString TMainFrame::message() const {
    return m_message->text();
}

void TMainFrame::setLineStatus(const QString& text) {
    m_line->setText(text);
}

QString TMainFrame::lineStatus() const {
    return m_line->text();
}

void TMainFrame::setOvertype(bool on) {
    m_overtype->setEnabled(on);
}

void TMainFrame::setLockKeys(const TLockKeys& keys) {
    // A state that cannot be read shows as off; the tip says why.
    const auto show = [](QLabel* label, const std::optional<bool>& state) {
        label->setEnabled(state.value_or(false));
        label->setToolTip(state ? QString() : tr("not available on this machine"));
    };
    show(m_caps, keys.caps);
    show(m_num, keys.num);
}

void TMainFrame::setRecentFiles(const QStringList& paths) {
    for (QAction* a : m_recentActions) {
        m_fileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    for (int i = 0; i < paths.size(); ++i) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(paths.at(i)), this);
        a->setObjectName(QStringLiteral("recent%1").arg(i + 1));
        a->setData(paths.at(i));
        const QString path = paths.at(i);
        connect(a, &QAction::triggered, this, [this, path] { emit recentChosen(path); });
        m_fileMenu->insertAction(m_recentSeparator, a);
        m_recentActions.append(a);
    }
    if (!m_recentActions.isEmpty()) {
        auto* separator = new QAction(this);
        separator->setSeparator(true);
        m_fileMenu->insertAction(m_recentActions.first(), separator);
        m_recentActions.prepend(separator);
    }
}

void TMainFrame::mergeMenus(const QList<QMenu*>& menus) {
    for (QAction* a : m_mergedMenus) {
        menuBar()->removeAction(a);
    }
    m_mergedMenus.clear();
    for (QMenu* menu : menus) {
        menuBar()->insertAction(m_windowMenuAction, menu->menuAction());
        m_mergedMenus.append(menu->menuAction());
    }
}

void TMainFrame::closeEvent(QCloseEvent* event) {
    bool agree = true;
    emit closeQuery(agree);
    if (agree) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        emit aboutToUpdate();
    }
}

} // namespace tamsel::shell
