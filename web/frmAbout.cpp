#include "web/frmAbout.h"

#include "ui_frmAbout.h"

#include "foundation/Accessibility.h"
#include "foundation/Look.h"
#include "web/LinkTable.h"
#include "web/modHelp.h"

#include <QApplication>
#include <QShowEvent>

frmAbout::frmAbout(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::frmAbout>())
{
    m_ui->setupUi(this);
    const char *verdana = "Verdana";
    const QColor white(255, 255, 255), magenta(192, 0, 192);
    applyLooks(this, {
                         {"frmAbout", nullptr, 0, false, false, {}, white},
                         {"Label1", verdana, 8.25, false, false, white, magenta},
                         {"Label2", verdana, 14.25, true, false, white, magenta},
                         {"Label3", verdana, 8.25, true, false, white, magenta},
                         {"lblCobrand", verdana, 8.25, true, true, white, QColor(0, 0, 0)},
                         {"lblHomePage", verdana, 8.25, true, true, white, QColor(64, 64, 64)},
                         {"Line1", nullptr, 0, false, false, {}, QColor(128, 0, 128)},
                     });
    // A little room between the coloured bands' edges and their text.
    for (QLabel *band : {m_ui->Label1, m_ui->Label3})
        band->setContentsMargins(2, 2, 2, 2);
    for (QLabel *band :
         {m_ui->Label2, static_cast<QLabel *>(m_ui->lblCobrand), static_cast<QLabel *>(m_ui->lblHomePage)})
        band->setContentsMargins(4, 0, 4, 0);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QApplication::windowIcon());
    m_ui->Picture1->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    m_ui->Picture1->setAccessibleName(QStringLiteral("Zenor Lyrandel"));
    Accessibility::setTabOrder({m_ui->cmdOK, m_ui->lblHomePage, m_ui->lblCobrand});
    m_ui->lblHomePage->setText(QStringLiteral("Click here to visit ") + webPageAddress(WebPage::Home));
    fitTexts(this);
    // The two links end at the right margin and are as wide as their text, whatever the font.
    for (QLabel *link : {static_cast<QLabel *>(m_ui->lblHomePage), static_cast<QLabel *>(m_ui->lblCobrand)}) {
        const int right = link->geometry().right();
        link->resize(link->sizeHint().width(), link->height());
        link->move(right - link->width() + 1, link->y());
    }

    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(m_ui->lblHomePage, &LinkLabel::clicked, this, &modHelp::OpenHomePage);
    // Not the co-branding page: on this box the label advertises the fully branded offer.
    connect(m_ui->lblCobrand, &LinkLabel::clicked, this, &modHelp::OpenFullyBrandedPage);
    m_ui->cmdOK->setFocus();
}

frmAbout::~frmAbout() = default;

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::reject()
{
    cmdOK_Click();
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centreOnScreen(*this);
}
