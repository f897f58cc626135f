// Times a reading as a person sees it: the Next click until the result page has been painted.
// Prints the first reading of the process (pays for the image plugin and the first decode) and the
// median and 95th percentile of the following ones, in microseconds.
#include "reading/frmMain.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int runs = argc > 1 ? std::max(2, atoi(argv[1])) : 500;

    auto *window = new frmMain;
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 2;

    std::vector<double> us;
    us.reserve(static_cast<size_t>(runs));
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        window->ui()->txtName->setText(QStringLiteral("Ada"));
        QCoreApplication::processEvents();
        timer.start();
        window->cmdNext_Click();
        window->repaint();
        us.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        // A reading that did not reach the result page would make the figure meaningless.
        if (window->lblCaption(0)->text().isEmpty())
            return 3;
        window->cmdBack_Click();
        QCoreApplication::processEvents();
    }
    const double first = us.front();
    std::vector<double> rest(us.begin() + 1, us.end());
    std::sort(rest.begin(), rest.end());
    printf("first_us=%.1f median_us=%.1f p95_us=%.1f max_us=%.1f runs=%d\n", first, rest[rest.size() / 2],
           rest[rest.size() * 95 / 100], rest.back(), runs);
    delete window;
    return 0;
}
