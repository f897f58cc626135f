#include "reading/frmMain.h"

#include "ui_frmMain.h"

#include "foundation/Accessibility.h"
#include "foundation/AfterFirstFrame.h"
#include "foundation/Lifecycle.h"
#include "foundation/Look.h"
#include "foundation/MessageBoxes.h"
#include "foundation/RandomGenerator.h"
#include "promotion/frmPromotion.h"
#include "reading/Draw.h"
#include "reading/NameFilter.h"
#include "reading/SignTable.h"
#include "saved/OpenDialog.h"
#include "saved/SavedReadingFile.h"
#include "saved/Scramble.h"
#include "web/LinkTable.h"
#include "web/frmAbout.h"
#include "web/modHelp.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>

#include <utility>

namespace {

QPointer<frmMain> g_loaded;

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kMagenta(255, 0, 255);
const QColor kPink(255, 128, 255);

// Colours, and the fonts of the controls seen in the first frame.
void applySeenLook(QWidget *window)
{
    const char *verdana = "Verdana";
    // The window's own font: every control not listed here or below uses it.
    applyLooks(window, {
                           {"centralwidget", verdana, 8.25, false, false, {}, kBlack},
                           {"Label61", verdana, 8.25, true, true, kWhite, {}},
                           {"fraFullBrand", nullptr, 0, false, false, {}, kBlack},
                           {"lblFullBrand", verdana, 8.25, true, true, kWhite, kBlack},
                           {"lblCobrand", verdana, 8.25, true, true, kWhite, kBlack},
                           {"fraBirthDay", nullptr, 0, false, false, QColor(64, 64, 64), kWhite},
                           {"Label7", nullptr, 0, false, false, kBlack, {}},
                           {"Label6", nullptr, 0, false, false, kBlack, {}},
                           {"Label3", nullptr, 0, false, false, kBlack, {}},
                           {"fraMain", nullptr, 0, false, false, {}, kBlack},
                           {"txtName", verdana, 8.25, false, false, Classic::text, Classic::fieldBase},
                           {"txtQuestion", verdana, 8.25, false, false, Classic::text, Classic::fieldBase},
                           {"cmdNext", verdana, 8.25, true, false, {}, {}},
                           {"lblLabel_0", verdana, 8.25, true, false, kMagenta, {}},
                           {"lblLabel_1", verdana, 8.25, true, false, kMagenta, {}},
                           {"lblLabel_2", verdana, 8.25, true, false, kPink, {}},
                           {"fraResult", nullptr, 0, false, false, kWhite, kBlack},
                           {"cmdBack", verdana, 8.25, true, false, {}, {}},
                           {"picOracle", nullptr, 0, false, false, {}, kWhite},
                           {"lblLabel_3", verdana, 8.25, true, false, kMagenta, {}},
                           {"lblLabel_4", verdana, 8.25, true, false, kMagenta, {}},
                           {"lblCaption_0", verdana, 8.25, false, false, kPink, {}},
                           {"lblCaption_1", verdana, 8.25, false, false, kPink, {}},
                           {"lblCaption_2", verdana, 8.25, false, false, kPink, {}},
                       });
}

// The fonts of the controls nobody sees in the first frame: cmdOpen and fraBirthDay lie below the
// client area, the result page's title lies under the input page. Each costs a font engine or a
// fallback list of its own on the way to the first frame.
void applyUnseenFonts(QWidget *window)
{
    const char *verdana = "Verdana";
    const char *msSansSerif = "MS Sans Serif";
    applyLooks(window, {
                           {"cmdOpen", verdana, 9.75, true, false, {}, {}},
                           {"fraBirthDay", verdana, 8.25, true, false, {}, {}},
                           {"Label7", msSansSerif, 8.25, false, false, {}, {}},
                           {"Label6", msSansSerif, 8.25, false, false, {}, {}},
                           {"Label3", msSansSerif, 8.25, false, false, {}, {}},
                           {"cboDate", verdana, 8.25, false, false, {}, {}},
                           {"cboMonth", verdana, 8.25, false, false, {}, {}},
                           {"cboYear", verdana, 8.25, false, false, {}, {}},
                           {"fraResult", verdana, 9, true, false, {}, {}},
                       });
}

// Qt's menu bar claims the access key of every command on it, hidden ones included, which would
// make Alt+O ambiguous with cmdOpen. A command nobody can see claims no key: it is on the bar only
// while it is shown, at its own place.
void keepOnMenuBarOnlyWhileShown(QMenuBar *bar, QAction *action)
{
    const QList<QAction *> actions = bar->actions();
    const qsizetype at = actions.indexOf(action);
    const QPointer<QAction> next = at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr;
    const auto follow = [bar = QPointer<QMenuBar>(bar), action, next] {
        if (!bar)
            return;
        const bool onBar = bar->actions().contains(action);
        if (action->isVisible() && !onBar)
            bar->insertAction(next, action);
        else if (!action->isVisible() && onBar)
            bar->removeAction(action);
    };
    // Not in the bar's context: the bar cuts every connection of an action it lets go.
    QObject::connect(action, &QAction::changed, bar->window(), follow);
    follow();
}

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::frmMain>())
{
    m_ui->setupUi(this);
    applySeenLook(this);
    m_unseenFontsJob = runAfterFirstFrame(*this, [this] { setUnseenFonts(); });
    setAttribute(Qt::WA_DeleteOnClose);
    // A fixed dialog-like frame: no minimise and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    g_loaded = this;

    m_lblCaption = {m_ui->lblCaption_0, m_ui->lblCaption_1, m_ui->lblCaption_2};
    m_ui->Label61->setText(QStringLiteral("Join the free discussion board for all things mystic at ") +
                           Sites::mainHost());
    // What the first frame shows is fitted now; the rest as it gets its fonts.
    fitText(*m_ui->Label61);
    fitTexts(m_ui->fraFullBrand);
    fitTexts(m_ui->fraMain);
    // What the page holds before any reading; never seen, as the page is never in front by then.
    describeSign(0);
    m_ui->txtName->setAccessibleName(m_ui->lblLabel_0->text());
    m_ui->txtQuestion->setAccessibleName(m_ui->lblLabel_1->text());
    m_ui->txtName->installEventFilter(this);
    for (QPushButton *button : {m_ui->cmdNext, m_ui->cmdBack, m_ui->cmdOpen})
        button->installEventFilter(this);

    connect(m_ui->cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(m_ui->cmdBack, &QPushButton::clicked, this, &frmMain::cmdBack_Click);
    connect(m_ui->cmdOpen, &QPushButton::clicked, this, &frmMain::cmdOpen_Click);

    connect(m_ui->Label61, &LinkLabel::clicked, this, &modHelp::OpenHomePage);
    connect(m_ui->lblCobrand, &LinkLabel::clicked, this, &modHelp::OpenCoBrandPage);
    connect(m_ui->lblFullBrand, &LinkLabel::clicked, this, &modHelp::OpenFullyBrandedPage);
    connect(m_ui->mnuOnline, &QAction::triggered, this, &modHelp::OpenOnlineHelpPage);
    connect(m_ui->mnuVisit, &QAction::triggered, this, &modHelp::OpenHomePage);
    connect(m_ui->mnuUpdate, &QAction::triggered, this, &modHelp::OpenDownloadPage);
    connect(m_ui->mnuDonate, &QAction::triggered, this, &modHelp::OpenDonatePage);
    connect(m_ui->mnuMakeMoney, &QAction::triggered, this, &modHelp::OpenFullyBrandedPage);
    // Once the menu is done with: a screen reader told of the menu after the box opened would stop
    // reading the box.
    connect(m_ui->mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click, Qt::QueuedConnection);
    connect(m_ui->mnuExit, &QAction::triggered, this, &QWidget::close);
    keepOnMenuBarOnlyWhileShown(m_ui->menubar, m_ui->mnuMakeMoney);

    // Below the client area: nobody can see them, so neither Tab nor a screen reader finds them.
    Accessibility::setUnseen(m_ui->cmdOpen, true);
    Accessibility::setUnseen(m_ui->fraBirthDay, true);
    // After the last control of the pages come the links, the bottom one first.
    Accessibility::setTabOrder({m_ui->cmdBack, m_ui->lblCobrand, m_ui->lblFullBrand, m_ui->Label61});
    Accessibility::setUnseen(m_ui->lblFullBrand, true); // lblCobrand lies in front of it

    Form_Load();
}

frmMain::~frmMain()
{
    // QWidget's destructor hides the window, which would run the job on a half-destroyed frmMain.
    delete m_unseenFontsJob;
}

void frmMain::applyLook(QWidget *form)
{
    applySeenLook(form);
    applyUnseenFonts(form);
}

frmMain *frmMain::loaded()
{
    return g_loaded.data();
}

void frmMain::Form_Load()
{
    turnTo(m_ui->fraMain, nullptr);
}

void frmMain::turnTo(QWidget *page, QWidget *focus)
{
    QWidget *covered = page == m_ui->fraMain ? static_cast<QWidget *>(m_ui->fraResult) : m_ui->fraMain;
    Accessibility::setUnseen(page, false);
    if (focus)
        focus->setFocus();
    page->raise();
    Accessibility::setUnseen(covered, true);
}

void frmMain::describeSign(int index)
{
    // Read as a word, where capitals would be spelt out or read as a number ("XI").
    const QString name = SignTable::letterName(index).value_or(QString());
    m_lblCaption[0]->setAccessibleName(name);
    m_ui->picOracle->setAccessibleName(name.isEmpty() ? QString() : name + QStringLiteral(" sign"));
}

void frmMain::setUnseenFonts()
{
    if (std::exchange(m_unseenFontsSet, true))
        return;
    applyUnseenFonts(this);
    fitTexts(m_ui->fraBirthDay);
}

void frmMain::cmdNext_Click()
{
    if (!ValidateName())
        return;
    setUnseenFonts(); // the result page may come to the front before the first frame is out
    ShowReading();
    turnTo(m_ui->fraResult, m_ui->cmdBack);
    // The focus stays on Back, where keyboard users expect it; the reading itself is announced.
    const QStringList parts = {m_lblCaption[0]->accessibleName(), m_lblCaption[1]->text(),
                               m_lblCaption[2]->text()};
    Accessibility::announce(this, parts.join(QStringLiteral(". ")));
}

bool frmMain::ValidateName()
{
    // Taken exactly as typed: a name of spaces counts as a name.
    if (!m_ui->txtName->text().isEmpty())
        return true;
    MessageBoxes::critical(this, QStringLiteral("Please Enter Your First Name"));
    m_ui->txtName->setFocus();
    return false;
}

void frmMain::ShowReading()
{
    const int index = drawSignIndex(Random::next());
    if (const auto name = SignTable::letterName(index))
        m_lblCaption[0]->setText(name->toUpper());
    if (const auto keyword = SignTable::keyword(index))
        m_lblCaption[1]->setText(*keyword);
    if (const auto interpretation = SignTable::interpretation(index))
        m_lblCaption[2]->setText(*interpretation);
    fitTexts(m_ui->fraResult);

    // Never leave the last reading's picture beside new texts: no picture is better than a wrong one.
    // Drawn for the screen the window is on: the 2x drawing where pixels are dense.
    const QPixmap picture = m_IMG.picture(index + 1, m_ui->picOracle->devicePixelRatio());
    if (picture.isNull())
        m_ui->picOracle->clear();
    else
        m_ui->picOracle->setPixmap(picture);
    describeSign(index);
}

void frmMain::cmdBack_Click()
{
    // Emptied once the focus is in the name field: a field that changes while the focus moves to it
    // is taken by some screen readers for typing there, and the move is not announced.
    turnTo(m_ui->fraMain, m_ui->txtName);
    m_ui->txtName->setText(QString());
    m_ui->txtQuestion->setPlainText(QString());
}

void frmMain::cmdOpen_Click()
{
    const QString fileName = OpenDialog::chooseSavedReading(this);
    if (!SavedReading::passesExtensionTest(fileName)) {
        MessageBoxes::critical(this, QStringLiteral("Please Check The File."));
        return;
    }
    if (fileName.isEmpty())
        return; // cancelled

    const SavedReading::Lines lines = SavedReading::readFirstLines(fileName);
    // The lists hold no entries, so no value can select one; setting them changes nothing on screen.
    m_ui->cboMonth->setCurrentText(UnscrambleText(lines[3]));
    m_ui->cboDate->setCurrentText(UnscrambleText(lines[4]));
    m_ui->cboYear->setCurrentText(UnscrambleText(lines[5]));

    cmdNext_Click();
    if (frmPromotion *promotion = frmPromotion::instance())
        promotion->hide();
}

void frmMain::mnuAbout_Click()
{
    // Owned by this window, so that window managers and compositors put it over it; guarded, as the
    // program may end while it is open.
    QPointer<frmAbout> box = new frmAbout(this);
    box->exec();
    delete box.data();
}

void frmMain::txtName_KeyPress(int &keyAscii)
{
    if (NameFilter::accepts(keyAscii))
        return;
    keyAscii = 0;
    m_ui->txtName->setFocus();
    MessageBoxes::critical(this, NameFilter::refusal());
}

bool frmMain::filterNameKey(int code)
{
    int keyAscii = code;
    txtName_KeyPress(keyAscii);
    return keyAscii == 0;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_ui->txtName) {
        // As on the classic desktop, Enter presses the button that has the focus.
        auto *button = qobject_cast<QPushButton *>(watched);
        if (button && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                button->animateClick();
                return true;
            }
        }
        return QMainWindow::eventFilter(watched, event);
    }

    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const std::optional<int> code =
            NameFilter::typedCharacterCode(key->key(), key->modifiers(), key->text());
        if (code)
            return filterNameKey(*code);
        return NameFilter::carriesText(key->text());
    } else if (event->type() == QEvent::InputMethod) {
        // Composed characters (dead keys, input methods) are typed characters too, judged one by one:
        // the letters before the first refused character go in, the rest of the commit is dropped.
        const auto *im = static_cast<QInputMethodEvent *>(event);
        const QString commit = im->commitString();
        const qsizetype taken = NameFilter::acceptedLength(commit);
        if (taken == commit.size())
            return QMainWindow::eventFilter(watched, event);
        QInputMethodEvent accepted;
        accepted.setCommitString(commit.left(taken), im->replacementStart(), im->replacementLength());
        QCoreApplication::sendEvent(m_ui->txtName, &accepted);
        filterNameKey(commit.at(taken).unicode());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::bringFullBrandToFront()
{
    Accessibility::setUnseen(m_ui->lblFullBrand, false);
    m_ui->lblFullBrand->raise();
    Accessibility::setUnseen(m_ui->lblCobrand, true);
}

void frmMain::bringCobrandToFront()
{
    Accessibility::setUnseen(m_ui->lblCobrand, false);
    m_ui->lblCobrand->raise();
    Accessibility::setUnseen(m_ui->lblFullBrand, true);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_unloading) {
        m_unloading = true;
        Form_Unload();
    }
    event->accept(); // the close is never cancelled
}

void frmMain::Form_Unload()
{
    // While the program is ending, closing must not open the promotion screen again.
    if (Lifecycle::isEnding())
        return;
    frmPromotion *promotion = frmPromotion::instance();
    if (!promotion) {
        // Without the screen the process would run on with no window at all.
        modHelp::EndProgram();
        return;
    }
    promotion->show();
}
