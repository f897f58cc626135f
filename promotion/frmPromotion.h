#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class frmPromotion;
}
class PlaceholderField;

// The screen shown at exit: an appeal, links, the refer-a-friend form; closing it ends the program.
class frmPromotion final : public QWidget
{
    Q_OBJECT
public:
    // The one screen, created (and loaded, hidden) on first use; a closed screen is destroyed.
    static frmPromotion *instance();
    // The screen if it exists, else nullptr.
    static frmPromotion *loaded();

    ~frmPromotion() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmPromotion();

    void Form_Load();
    void Form_Unload();
    void Check1_Click();
    void lblGoToHome_Click();
    void cmdClose_Click();
    void cmdSubmit_Click();

    void txtName_GotFocus();
    void txtName_LostFocus();
    void txtEmail_GotFocus();
    void txtEmail_LostFocus();
    void txtMessage_GotFocus();
    void txtMessage_LostFocus();
    void txtFriendName_GotFocus();
    void txtFriendName_LostFocus();
    void txtFriendEmail_GotFocus();
    void txtFriendEmail_LostFocus();

    // keyAscii is the typed character's code; setting it to 0 discards the key.
    void txtEmail_KeyPress(int &keyAscii);
    void txtFriendEmail_KeyPress(int &keyAscii);
    void refuseSpace(int &keyAscii, QWidget *field);

    std::unique_ptr<Ui::frmPromotion> ui;
    PlaceholderField *m_name = nullptr;
    PlaceholderField *m_email = nullptr;
    PlaceholderField *m_message = nullptr;
    PlaceholderField *m_friendName = nullptr;
    PlaceholderField *m_friendEmail = nullptr;
    bool m_unloaded = false;
};
