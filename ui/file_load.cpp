#include "file_load.h"

#include <algorithm>
#include <string_view>

#include <QFile>

#include "progress.h"
#include "text/file_change.h"

std::function<void(qint64 bytesRead)> gFileReadObserver;

// A large file is read this much at a time, with progress in between.
static constexpr qint64 kReadPieceBytes = 8 << 20;

FileRead ReadFileOnce(const QString& path, BusyProgress& progress)
{
    FileRead read;
    QFile file(path);
    // Unbuffered: no read-ahead past what is asked for.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        read.error = file.errorString();
        return read;
    }
    // The size now bounds the memory: bytes added later are not read, however fast they come.
    const qint64 size = file.size();
    read.sizeWhenOpened = size;
    progress.Stage(QStringLiteral("正在讀取檔案…\nReading the file…"), size);
    read.bytes.resize(size);
    if (gFileReadObserver) gFileReadObserver(0);
    qint64 done = 0;
    while (done < size) {
        const qint64 count = file.read(read.bytes.data() + done, std::min(kReadPieceBytes, size - done));
        if (count < 0) {
            read.error = file.errorString();
            read.bytes = QByteArray();
            return read;
        }
        if (count == 0)
            break;  // the end came early: the file was cut short
        done += count;
        progress.Advance(done);
        if (gFileReadObserver) gFileReadObserver(done);
    }
    read.bytesRead = done;
    // One byte more tells whether the file grew, and whether the last number went on.
    char next = 0;
    if (done < size)
        read.change = FileRead::Change::CutShort;
    else if (file.read(&next, 1) == 1)
        read.change = FileRead::Change::Grew;
    const std::string_view text(read.bytes.constData(), static_cast<std::size_t>(done));
    read.bytes.truncate(read.change == FileRead::Change::None
                            ? done
                            : static_cast<qint64>(WholeNumbersLength(
                                  text, read.change == FileRead::Change::Grew ? static_cast<unsigned char>(next) : -1)));
    return read;
}

QString FileChangeMessage(const QString& path, const FileRead& read, int rows)
{
    const QString opened = QString::number(read.sizeWhenOpened);
    const QString count = QString::number(rows);
    if (read.change == FileRead::Change::CutShort)
        return QStringLiteral("檔案「%1」在載入時變短了：開啟時有 %2 位元組，只讀到 %3 位元組。表格只有變短前讀到的 %4 "
                              "組完整坐標。請等檔案寫完後再載入一次。\n"
                              "The file %1 became shorter while it was loaded: it had %2 bytes when opened, and only "
                              "%3 could be read. The table holds the %4 whole pairs read before the change. Load it "
                              "again once nothing writes to it.")
            .arg(path, opened, QString::number(read.bytesRead), count);
    return QStringLiteral("檔案「%1」在載入時變大了：只載入開啟時的 %2 位元組，共 %3 組坐標；之後加入的內容沒有載入。"
                          "請等檔案寫完後再載入一次。\n"
                          "The file %1 grew while it was loaded: only the %2 bytes it had when opened were loaded, "
                          "%3 pairs; what was added later was not. Load it again once nothing writes to it.")
        .arg(path, opened, count);
}
