// The real JPEG job in a process of its own, for tests that kill it: the pictures named by the
// arguments (host paths) are converted beside themselves (a JPEG in place), without renaming,
// and the closing question is answered No. Exits 0 when the job ended well and said nothing.
#include "ScriptedDialogs.h"
#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "jobs/StatusLine.h"
#include "sources/SourceList.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using sc::sources::TSourceList;

namespace {

class SilentStatusLine : public sc::jobs::StatusLine {
public:
    void show(const QString&) override {}
    void showIdlePrompt() override {}
    void repaintWindow() override {}
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TSourceList sources;
    for (int i = 1; i < argc; ++i)
        sources.add(QFile::decodeName(argv[i]));
    sc::test::ScriptedDialogs dialogs;
    SilentStatusLine status;
    sc::GKitImage image;
    sc::jobs::JpegJob job(image, sources, status, dialogs, [] {});
    sc::jobs::JpegJobSettings settings;
    settings.destination = 0;
    settings.renaming = 0;
    settings.qualityIndex = 3; // the largest files: the longest writes
    if (sc::jobs::runGuarded(dialogs, [&] { job.run(settings); }) && dialogs.messages().isEmpty())
        return 0;
    std::fprintf(stderr, "%s\n", qPrintable(dialogs.shown.join(u'\n')));
    return 1;
}
