#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}

// The About box: names the program, describes it and links to the maker's pages.
class frmAbout final : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);
    ~frmAbout() override;

    Ui::frmAbout *ui() const { return m_ui.get(); }

    void cmdOK_Click();

    // Esc and the close box act as OK.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::frmAbout> m_ui;
};
