// The floor for any Qt Widgets program that shows text: a bare QLabel is the window, at the main
// window's size, with its title and nothing else. It is what the ratios in README.md are against.
//   zl-bench-floor            the bare label
//   zl-bench-floor --layout   the former floor: a QWidget whose QVBoxLayout holds the label
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    const bool layout = argc > 1 && !strcmp(argv[1], "--layout");
    QApplication app(argc, argv);
    const QString title = QStringLiteral("Zenor Lyrandel floor");
    const QString text = QStringLiteral("One line of text.");
    if (layout) {
        QWidget window;
        window.setWindowTitle(title);
        auto *box = new QVBoxLayout(&window);
        box->addWidget(new QLabel(text, &window));
        window.show();
        return QApplication::exec();
    }
    QLabel window(text);
    window.setWindowTitle(title);
    window.resize(521, 261);
    window.show();
    return QApplication::exec();
}
