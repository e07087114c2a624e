// Shows the real main window on the display it is given and, once it has been
// painted, writes where the window and its controls are, one "name left top width
// height" line each (content coordinates; the window line in screen coordinates),
// the family of the hex view's font as the font database resolved it, and how many
// icon buttons show their picture pixel for pixel on the screen; then waits until
// it is closed.
#include "framework/controls/bevelbutton.h"
#include "framework/runtime/dispatch.h"
#include "window/mw.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

// True when every opaque pixel of the button's icon is on the screen unchanged, in
// device pixels, at the button's top-left corner: an icon drawn shrunk or between
// pixels fails.
bool IconExactOnScreen(const BevelButton& button, const QImage& screen)
{
    const QImage& icon = button.Icon()->Image();
    const QPoint at = button.Widget()->mapToGlobal(QPoint(0, 0)) * screen.devicePixelRatio();
    int opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb c = icon.pixel(x, y);
            if (qAlpha(c) < 255)
                continue;
            ++opaque;
            if ((screen.pixel(at + QPoint(x, y)) & 0xffffff) != (c & 0xffffff))
                return false;
        }
    return opaque > 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s REPORT-FILE\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    int failures = 0;
    SetUnhandledExceptionReporter([&failures](const QString& report) {
        std::fprintf(stderr, "unhandled: %s\n", report.toLocal8Bit().constData());
        ++failures;
    });
    const QString reportPath = QString::fromLocal8Bit(argv[1]);
    MW& w = MW::Instance();
    // The editor's own texts, so the screenshot shows full rows in every column.
    w.HedderTa().SetText("00000000:\r00000010:\r00000020:\r");
    w.BinaryTa().SetText(QStringLiteral("4D 54 68 64 00 00 00 06 00 00 00 01 01 E0 4D 54 \r"
                                        "72 6B 00 00 00 26 00 C0 00 00 90 3C 55 83 18 90 \r"));
    w.FutterTa().SetText(QStringLiteral("M T h d - - - - - - - - - - M T \rr k - - - & - - - - - < U - - - \r"));
    // The screen is sampled until the window shows every icon, for at most 15 s: a
    // window not yet painted and one whose icons are drawn wrong look the same.
    QElapsedTimer since;
    since.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWindow* shown = w.QtWindow()->windowHandle();
        if (!shown || !shown->isExposed())
            return;
        const QImage screen = w.QtWindow()->screen()->grabWindow(0).toImage();
        int icons = 0, exact = 0;
        for (qint64 i = 0; i < w.ControlCount(); ++i)
            if (auto* b = dynamic_cast<BevelButton*>(w.ControlAt(i)); b && b->Icon()) {
                ++icons;
                exact += IconExactOnScreen(*b, screen);
            }
        if (exact < icons && since.elapsed() < 15000)
            return;
        poll.stop();
        QFile f(reportPath);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
            std::exit(3);
        QTextStream out(&f);
        const auto place = [&out](const QString& name, QPoint at, QWidget* widget) {
            out << name << ' ' << at.x() << ' ' << at.y() << ' ' << widget->width() << ' ' << widget->height() << '\n';
        };
        place("window", w.QtWindow()->mapToGlobal(QPoint(0, 0)), w.QtWindow());
        place("content", w.ContentWidget()->mapToGlobal(QPoint(0, 0)), w.ContentWidget());
        for (qint64 i = 0; i < w.ControlCount(); ++i)
            if (Control* c = w.ControlAt(i); c->Widget())
                place(c->Name() + (c->Index() >= 0 ? QStringLiteral("(%1)").arg(c->Index()) : QString()),
                      c->Widget()->mapTo(w.ContentWidget(), QPoint(0, 0)), c->Widget());
        out << "font " << QFontInfo(w.BinaryTa().Widget()->font()).family() << '\n';
        out << "icons " << exact << ' ' << icons << '\n';
        out << "unhandled " << failures << '\n';
    });
    poll.start(50);
    return app.exec();
}
