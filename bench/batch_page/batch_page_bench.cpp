// Times the batch page on a large file, offscreen, through the fake desktop:
//   build/bench/batch_page/batch_page_bench [pairs]          (default 1000000)
//   build/bench/batch_page/batch_page_bench 10000000         (the largest file promised)
// It writes two files of `pairs` lines into a temporary folder, TM2 grid pairs and
// longitude/latitude pairs around Taiwan, and times for each: the load into the table
// ("檔案載入") and the run into the result list ("計算"), display included. For each
// step it prints the peak resident memory of the process so far (getrusage) and the
// longest stretch in which the window showed nothing new: between the click, every
// paint of the progress dialog and the end of the step.
// Targets on a 2-core machine: a load under 3 s and a run under 10 s for 10^6 pairs;
// for 10^7, no stretch over about 1 s and a peak under 1.5 GB.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include "tests/support/fake_desktop.h"
#include "ui/batch_table.h"
#include "ui/form1.h"
#include "ui/radio_group.h"

// Peak resident memory of this process so far, in MB.
static long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

// Watches every paint of a progress dialog (or of a widget inside one) and keeps the
// longest time between two of them, counting from Start() to Stop().
class PaintWatch : public QObject {
public:
    void Start()
    {
        timer_.start();
        last_ = 0;
        longest_ = 0;
        paints_ = 0;
    }
    double StopSeconds()
    {
        Mark();
        return static_cast<double>(longest_) / 1e9;
    }
    int Paints() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            for (QWidget* w = static_cast<QWidget*>(watched); w; w = w->parentWidget())
                if (qobject_cast<QProgressDialog*>(w)) {
                    ++paints_;
                    Mark();
                    break;
                }
        }
        return false;
    }

private:
    void Mark()
    {
        const qint64 now = timer_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    QElapsedTimer timer_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    int paints_ = 0;
};

static QString WritePairs(const QString& path, long pairs, bool grid)
{
    std::mt19937_64 random(grid ? 1 : 2);
    std::uniform_real_distribution<double> x(grid ? 150000 : 119.5, grid ? 350000 : 122.0);
    std::uniform_real_distribution<double> y(grid ? 2420000 : 21.9, grid ? 2800000 : 25.3);
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file) {
        std::perror("cannot write the test file");
        std::exit(1);
    }
    for (long i = 0; i < pairs; ++i) {
        if (grid)
            std::fprintf(file, "%.2f %.2f\n", x(random), y(random));
        else
            std::fprintf(file, "%.6f %.6f\n", x(random), y(random));
    }
    std::fclose(file);
    return path;
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long pairs = argc > 1 ? std::atol(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString gridFile = WritePairs(dir.filePath(QStringLiteral("grid.txt")), pairs, true);
    const QString geoFile = WritePairs(dir.filePath(QStringLiteral("geographic.txt")), pairs, false);

    PaintWatch paints;
    app.installEventFilter(&paints);
    FakeDesktop desktop;
    TForm1 form(desktop);
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    form.show();
    QApplication::processEvents();

    struct Step {
        const char* name;
        const QString* file;  // loaded when set, else computed
        int direction;
    };
    const Step steps[] = {
        {"load TM2 pairs", &gridFile, 0},
        {"run TM2 -> lon/lat", nullptr, 0},
        {"load lon/lat pairs", &geoFile, 1},
        {"run lon/lat -> TM2", nullptr, 1},
    };
    std::printf("%ld pairs\n", pairs);
    bool failed = false;
    for (const Step& s : steps) {
        form.RadioGroup3->Item(s.direction)->click();
        QElapsedTimer timer;
        timer.start();
        paints.Start();
        if (s.file) {
            desktop.openDialogAnswers.push_back(*s.file);
            form.Button6->click();
        } else {
            form.Button5->click();
        }
        QApplication::processEvents();  // the view and the list lay out and paint
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        const double stretch = paints.StopSeconds();
        const long rows = form.BatchGrid->RowCount() - 1;
        // Long lists keep several lines to a block: count the lines themselves.
        long lines = 0;
        for (QTextBlock b = form.Memo2->document()->begin(); b.isValid(); b = b.next())
            lines += b.text().count(QChar::LineSeparator) + 1;
        std::printf("%-22s %7.3f s   table rows %ld, list lines %ld, peak %ld MB, %d dialog paints, "
                    "longest stretch without one %.3f s\n",
                    s.name, seconds, rows, s.file ? 0L : lines, PeakMegabytes(), paints.Paints(), stretch);
        std::fflush(stdout);
        if (rows != pairs || (!s.file && lines != pairs))
            failed = true;
    }
    for (const QString& e : desktop.errors)
        std::printf("error box: %s\n", e.toUtf8().constData());
    for (const QString& m : desktop.messages)
        std::printf("message: %s\n", m.toUtf8().constData());
    return failed || !desktop.errors.isEmpty() ? 1 : 0;
}
