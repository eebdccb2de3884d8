#pragma once

// Shared by the fuzz targets: the Qt application object, a scratch folder for the files the
// readers open, and the check that turns a broken invariant into a crash that libFuzzer
// records together with its input.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define AK_FUZZ_CHECK(cond) ((cond) ? void(0) : ::akfuzz::failed(#cond, __FILE__, __LINE__))

namespace akfuzz {

[[noreturn]] inline void failed(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "fuzz invariant broken: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

// The application object, made once in LLVMFuzzerInitialize (some targets need its event loop).
// It is never deleted: libFuzzer ends the process with exit(), after which Qt's own globals
// may already be gone.
inline void startApplication(int* argc, char*** argv)
{
    static QCoreApplication* app = nullptr;
    if (!app)
        app = new QCoreApplication(*argc, *argv);
}

// A folder for the files of one run of the target, in memory where the system has such a
// folder (the targets write a file per input); removed at a normal exit.
inline const QString& scratch()
{
    static const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static const QTemporaryDir dir(base + QStringLiteral("/akfuzz-XXXXXX"));
    static const QString path = dir.path();
    if (!dir.isValid())
        failed("scratch folder", __FILE__, __LINE__);
    return path;
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        failed("scratch file cannot be written", __FILE__, __LINE__);
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace akfuzz
