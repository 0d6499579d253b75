// Time from process start to first paint: the organiser's launcher beside a
// bare window, alternating, in the same run. Prints medians and the ratio.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double startToPaintMs(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(program, args);
    while (child.waitForReadyRead(10000)) {
        if (child.readAllStandardOutput().contains("painted"))
            break;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    child.waitForFinished(10000);
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 21;
    QTemporaryDir home;
    QTemporaryDir runtime;
    QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), home.filePath(QStringLiteral("pad.db")));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) && !env.contains(QStringLiteral("DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    const QString dir = QCoreApplication::applicationDirPath();
    std::vector<double> launcher, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(startToPaintMs(dir + QStringLiteral("/startup_bare_child"), {}, env));
        launcher.push_back(startToPaintMs(dir + QStringLiteral("/startup_launcher_child"), {home.path()}, env));
    }
    const double l = median(launcher), b = median(bare);
    std::printf("runs: %d\nbare window, start to first paint: %.1f ms (median)\n"
                "launcher, start to first paint:    %.1f ms (median)\nratio: %.2f (goal <= 1.5)\n",
                runs, b, l, l / b);
    return 0;
}
