#pragma once
// Reading a batch file for "檔案載入": once, with read access only, into memory bounded
// by the size the file had when it was opened, noticing when its size changes meanwhile
// (a program still writing it, or cutting it).
#include <functional>

#include <QByteArray>
#include <QString>

class BusyProgress;

struct FileRead {
    enum class Change { None, CutShort, Grew };
    QByteArray bytes;           // what the load reads; after a change, whole numbers only
    qint64 sizeWhenOpened = 0;
    qint64 bytesRead = 0;       // up to sizeWhenOpened, before the cut to whole numbers
    Change change = Change::None;
    QString error;              // why the file could not be opened or read; empty if it was
};

// Reads a regular file, with progress. A file that grows is read up to the size it had
// when opened; a file cut short is read up to where it ends. Either way `bytes` then ends
// after the last whole line (WholeNumbersLength), so no row holds a cut number.
FileRead ReadFileOnce(const QString& path, BusyProgress& progress);

// The message box text for a load whose file changed size: Traditional Chinese, then
// English. `rows` is the count of rows loaded.
QString FileChangeMessage(const QString& path, const FileRead& read, int rows);

// Called once the file is open (with 0) and after each piece read (with the bytes read
// so far). Tests change the file here, between two reads of the load.
extern std::function<void(qint64 bytesRead)> gFileReadObserver;
