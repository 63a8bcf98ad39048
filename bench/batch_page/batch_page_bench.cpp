// Times the batch page on a large file, offscreen, through the fake desktop:
//   build/bench/batch_page/batch_page_bench [pairs]          (default 1000000)
//   /usr/bin/time -v build/bench/batch_page/batch_page_bench  (adds the peak memory)
// It writes two files of `pairs` lines into a temporary folder, TM2 grid pairs and
// longitude/latitude pairs around Taiwan, and times for each: the load into the table
// ("檔案載入") and the run into the result list ("計算"), display included.
// Targets on a 2-core machine: a load under 3 s, a run under 10 s.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "tests/support/fake_desktop.h"
#include "ui/batch_table.h"
#include "ui/form1.h"
#include "ui/radio_group.h"

// Peak resident memory of this process so far, in MB (Linux).
static long PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6) / 1024;
    return -1;
}

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
        if (s.file) {
            desktop.openDialogAnswers.push_back(*s.file);
            form.Button6->click();
        } else {
            form.Button5->click();
        }
        QApplication::processEvents();  // the view and the list lay out and paint
        const double seconds = timer.nsecsElapsed() / 1e9;
        const long rows = form.BatchGrid->RowCount() - 1;
        const long lines = form.Memo2->blockCount();
        std::printf("%-22s %7.3f s   table rows %ld, list lines %ld, peak %ld MB\n", s.name, seconds, rows,
                    s.file ? 0L : lines, PeakMegabytes());
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
