#ifndef WHENSHOWN_H
#define WHENSHOWN_H

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Prints the peak resident set size of this process (VmHWM, in kB) as one
// line "peak_kb: N" on standard output.
inline void printPeakMemory()
{
    long kilobytes = -1;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::strncmp(line, "VmHWM:", 6) == 0) {
                kilobytes = std::strtol(line + 6, nullptr, 10);
                break;
            }
        }
        std::fclose(status);
    }
    std::printf("peak_kb: %ld\n", kilobytes);
    std::fflush(stdout);
}

// Ends the event loop once the window is shown and the loop is idle: on the
// pass of the loop after the window's first paint, which is the last of the
// work that showing it queues. Prints the peak memory just before.
class ExitWhenShown : public QObject
{
public:
    explicit ExitWhenShown(QWidget &window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, this, [] {
                printPeakMemory();
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};

#endif // WHENSHOWN_H
