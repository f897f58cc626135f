#include "promotion/frmPromotion.h"

#include "ui_frmPromotion.h"

#include "foundation/Accessibility.h"
#include "foundation/Lifecycle.h"
#include "foundation/Look.h"
#include "foundation/MessageBoxes.h"
#include "foundation/RandomGenerator.h"
#include "promotion/Appeal.h"
#include "promotion/PlaceholderField.h"
#include "promotion/modTellAFriend.h"
#include "web/LinkLabel.h"
#include "web/LinkTable.h"
#include "web/modHelp.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>

namespace {
QPointer<frmPromotion> g_screen;

// A plain top-level widget reads as a "filler" to screen readers. This one is read as a dialog:
// on opening, its title and then its texts, the appeal first, so it is not taken for the main
// window, whose title it shares.
QAccessibleInterface *promotionWindowFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("frmPromotion") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Dialog);
    return nullptr;
}
} // namespace

frmPromotion *frmPromotion::instance()
{
    static const bool registered = [] {
        QAccessible::installFactory(promotionWindowFactory);
        return true;
    }();
    Q_UNUSED(registered)
    if (!g_screen)
        g_screen = new frmPromotion;
    return g_screen;
}

frmPromotion *frmPromotion::loaded()
{
    return g_screen;
}

frmPromotion::frmPromotion() : QWidget(nullptr), ui(std::make_unique<Ui::frmPromotion>())
{
    ui->setupUi(this);
    const char *verdana = "Verdana";
    const QColor white(255, 255, 255);
    // The window is white whatever the desktop's palette, so the text on it is black.
    applyLooks(this, {
                         {"frmPromotion", nullptr, 0, false, false, {}, white},
                         {"Label1", "MS Sans Serif", 18, false, false, Classic::text, {}},
                         {"Label2", verdana, 9.75, true, false, Classic::text, {}},
                         {"Check1", verdana, 14.25, false, false, QColor(0, 0, 192), Classic::buttonFace},
                         {"Frame2", verdana, 9.75, true, false, white, {}},
                         {"Frame6", verdana, 9.75, true, false, white, {}},
                         {"cmdSubmit", verdana, 8.25, true, false, {}, {}},
                         {"Label3", verdana, 9, false, false, white, {}},
                         {"lblGoToHome", verdana, 9, true, true, QColor(255, 255, 0), {}},
                         {"txtName", nullptr, 0, false, false, Classic::text, Classic::fieldBase},
                         {"txtEmail", nullptr, 0, false, false, Classic::text, Classic::fieldBase},
                         {"txtMessage", nullptr, 0, false, false, Classic::text, Classic::fieldBase},
                         {"txtFriendName", nullptr, 0, false, false, Classic::text, Classic::fieldBase},
                         {"txtFriendEmail", nullptr, 0, false, false, Classic::text, Classic::fieldBase},
                     });
    setAttribute(Qt::WA_DeleteOnClose);
    // A close box only: no maximise, no minimise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(741, 315);
    fitOnScreen(*this);

    const QIcon icon = QApplication::windowIcon();
    setWindowIcon(icon);
    ui->Picture1->setPixmap(icon.pixmap(32, 32));
    ui->Check1->setText(QStringLiteral("Click Here To Visit ") + Sites::mainHost() + QStringLiteral(" Now"));
    // Below the form's visible area: neither Tab nor a screen reader finds it.
    Accessibility::setUnseen(ui->txtMessage, true);
    Accessibility::setTabOrder({ui->txtMessage, ui->lblGoToHome});

    using namespace modTellAFriend;
    m_name = new PlaceholderField(ui->txtName, Placeholder::name());
    m_email = new PlaceholderField(ui->txtEmail, Placeholder::email());
    m_message = new PlaceholderField(ui->txtMessage, Placeholder::message());
    m_friendName = new PlaceholderField(ui->txtFriendName, Placeholder::friendName());
    m_friendEmail = new PlaceholderField(ui->txtFriendEmail, Placeholder::friendEmail());
    m_name->setText(Placeholder::name());
    m_email->setText(Placeholder::email());
    m_message->setText(messageOpeningText());
    m_friendName->setText(Placeholder::friendName());
    m_friendEmail->setText(Placeholder::friendEmail());

    connect(m_name, &PlaceholderField::gotFocus, this, &frmPromotion::txtName_GotFocus);
    connect(m_name, &PlaceholderField::lostFocus, this, &frmPromotion::txtName_LostFocus);
    connect(m_email, &PlaceholderField::gotFocus, this, &frmPromotion::txtEmail_GotFocus);
    connect(m_email, &PlaceholderField::lostFocus, this, &frmPromotion::txtEmail_LostFocus);
    connect(m_message, &PlaceholderField::gotFocus, this, &frmPromotion::txtMessage_GotFocus);
    connect(m_message, &PlaceholderField::lostFocus, this, &frmPromotion::txtMessage_LostFocus);
    connect(m_friendName, &PlaceholderField::gotFocus, this, &frmPromotion::txtFriendName_GotFocus);
    connect(m_friendName, &PlaceholderField::lostFocus, this, &frmPromotion::txtFriendName_LostFocus);
    connect(m_friendEmail, &PlaceholderField::gotFocus, this, &frmPromotion::txtFriendEmail_GotFocus);
    connect(m_friendEmail, &PlaceholderField::lostFocus, this, &frmPromotion::txtFriendEmail_LostFocus);

    connect(ui->Check1, &QPushButton::toggled, this, &frmPromotion::Check1_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmPromotion::cmdClose_Click);
    connect(ui->cmdSubmit, &QPushButton::clicked, this, &frmPromotion::cmdSubmit_Click);
    ui->txtEmail->installEventFilter(this);
    ui->txtFriendEmail->installEventFilter(this);
    connect(ui->lblGoToHome, &LinkLabel::clicked, this, &frmPromotion::lblGoToHome_Click);

    ui->cmdClose->setFocus();
    Form_Load();
}

frmPromotion::~frmPromotion() = default;

void frmPromotion::Form_Load()
{
    Random::seedFromTimer();
    const float r = Random::next();
    ui->Label2->setText(Appeal::message(Appeal::pickIndex(r)));
    fitTexts(this);
    if (programPlacesWindows())
        setWindowFlag(Qt::WindowStaysOnTopHint);
}

void frmPromotion::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // When EndProgram is what closes this screen, it ends the process itself once the windows are closed.
    if (!Lifecycle::isEnding())
        modHelp::EndProgram();
}

void frmPromotion::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmPromotion::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(*this);
}

void frmPromotion::Check1_Click()
{
    // Unticking raises this handler again, which then finds the button up and does nothing.
    if (!ui->Check1->isChecked())
        return;
    ui->Check1->setChecked(false);
    modHelp::OpenHomePage();
}

void frmPromotion::lblGoToHome_Click()
{
    modHelp::OpenOtherProductsPage();
}

void frmPromotion::cmdClose_Click()
{
    modHelp::EndProgram();
}

void frmPromotion::cmdSubmit_Click()
{
    using namespace modTellAFriend;
    ReferralData.name = trimSpaces(m_name->text());
    ReferralData.email = trimSpaces(m_email->text());
    ReferralData.message = trimSpaces(m_message->text());
    ReferralData.friendName = trimSpaces(m_friendName->text());
    ReferralData.friendEmail = trimSpaces(m_friendEmail->text());

    const QString problem = addressProblem(ReferralData.email, ReferralData.friendEmail);
    if (!problem.isEmpty()) {
        MessageBoxes::critical(this, problem);
        return;
    }
    SubmitReferral(this);
}

void frmPromotion::txtName_GotFocus()
{
    m_name->clearPlaceholder();
}

void frmPromotion::txtName_LostFocus()
{
    m_name->restorePlaceholder();
}

void frmPromotion::txtEmail_GotFocus()
{
    m_email->clearPlaceholder();
}

void frmPromotion::txtEmail_LostFocus()
{
    m_email->restorePlaceholder();
}

void frmPromotion::txtMessage_GotFocus()
{
    m_message->clearPlaceholder();
}

void frmPromotion::txtMessage_LostFocus()
{
    m_message->restorePlaceholder();
}

void frmPromotion::txtFriendName_GotFocus()
{
    m_friendName->clearPlaceholder();
}

void frmPromotion::txtFriendName_LostFocus()
{
    m_friendName->restorePlaceholder();
}

void frmPromotion::txtFriendEmail_GotFocus()
{
    m_friendEmail->clearPlaceholder();
}

void frmPromotion::txtFriendEmail_LostFocus()
{
    m_friendEmail->restorePlaceholder();
}

void frmPromotion::txtEmail_KeyPress(int &keyAscii)
{
    refuseSpace(keyAscii, ui->txtEmail);
}

void frmPromotion::txtFriendEmail_KeyPress(int &keyAscii)
{
    refuseSpace(keyAscii, ui->txtFriendEmail);
}

void frmPromotion::refuseSpace(int &keyAscii, QWidget *field)
{
    if (keyAscii != 32)
        return;
    MessageBoxes::critical(this, QStringLiteral("Email Address Cannot Contain Space"));
    keyAscii = 0;
    field->setFocus(Qt::OtherFocusReason);
}

bool frmPromotion::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == ui->txtEmail || watched == ui->txtFriendEmail)) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.size() == 1) {
            int keyAscii = typed.at(0).unicode();
            if (watched == ui->txtEmail)
                txtEmail_KeyPress(keyAscii);
            else
                txtFriendEmail_KeyPress(keyAscii);
            if (keyAscii == 0)
                return true;
        }
    } else if (event->type() == QEvent::InputMethod &&
               (watched == ui->txtEmail || watched == ui->txtFriendEmail)) {
        // A commit is typed text too: what comes before the first space goes in, the space is refused.
        auto *im = static_cast<QInputMethodEvent *>(event);
        const QString commit = im->commitString();
        const qsizetype space = commit.indexOf(u' ');
        if (space >= 0) {
            QInputMethodEvent accepted;
            accepted.setCommitString(commit.left(space), im->replacementStart(), im->replacementLength());
            QApplication::sendEvent(watched, &accepted);
            int keyAscii = 32;
            if (watched == ui->txtEmail)
                txtEmail_KeyPress(keyAscii);
            else
                txtFriendEmail_KeyPress(keyAscii);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
