#pragma once

#include "reading/PictureList.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QLabel;

namespace Ui {
class frmMain;
}

// The main window: a two-page reading wizard with the menu bar, the banner and the branding links.
class frmMain final : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The form's fonts and colours, all at once, on any form built from frmMain.ui. The window
    // itself sets the fonts of what its first frame does not show after that frame.
    static void applyLook(QWidget *form);

    // The loaded main window, or nullptr.
    static frmMain *loaded();

    void cmdNext_Click();
    void cmdBack_Click();
    void cmdOpen_Click();
    void mnuAbout_Click();
    // The name field's key filter: keyAscii is set to 0 when the character is refused.
    void txtName_KeyPress(int &keyAscii);

    // The branding pick at start-up brings one of the two overlapping links to the front.
    void bringFullBrandToFront();
    void bringCobrandToFront();

    Ui::frmMain *ui() const { return m_ui.get(); }
    QLabel *lblCaption(int index) const { return m_lblCaption.at(static_cast<size_t>(index)); }
    const PictureList &IMG() const { return m_IMG; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUnseenFonts();
    void Form_Load();
    // Brings a page to the front, the focus first to focus if given; the page behind is unseen.
    void turnTo(QWidget *page, QWidget *focus);
    // Names the sign of index as it is heard: the result's name and the picture.
    void describeSign(int index);
    void Form_Unload();
    bool ValidateName();
    void ShowReading();
    bool filterNameKey(int code);

    std::unique_ptr<Ui::frmMain> m_ui;
    std::array<QLabel *, 3> m_lblCaption{};
    PictureList m_IMG;
    bool m_unloading = false;
    bool m_unseenFontsSet = false;
    QPointer<QObject> m_unseenFontsJob;
};
