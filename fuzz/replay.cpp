// Runs a fuzz target over stored inputs once, without libFuzzer: every file
// named on the command line, and every file of every folder named there.
// The test suite uses it to keep the corpus of each target passing.

#include "fuzzer.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

// Targets that need set-up define it; the others get this empty one.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int*, char***) { return 0; }

namespace {

int runFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "replay: cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray data = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int inputs = 0;
    int problems = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QFileInfo info(arg);
        if (info.isDir()) {
            const QFileInfoList files = QDir(arg).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo& f : files) {
                problems += runFile(f.filePath());
                ++inputs;
            }
        } else {
            problems += runFile(arg);
            ++inputs;
        }
    }
    std::printf("replay: %d inputs, %d unreadable\n", inputs, problems);
    return problems == 0 && inputs > 0 ? 0 : 1;
}
