// The floor for any Qt Widgets program that shows text: one window, one label, one line.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Zenor Lyrandel floor"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("One line of text."), &window));
    window.show();
    return QApplication::exec();
}
