#pragma once

#include <QPushButton>

// A button that opens a web page, whatever it looks like: screen readers read it as a link, whose
// press action clicks it.
class LinkButton final : public QPushButton
{
    Q_OBJECT
public:
    explicit LinkButton(QWidget *parent = nullptr);
};
