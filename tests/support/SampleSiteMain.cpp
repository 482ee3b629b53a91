// Serves the sample publisher site on loopback until stopped, for trying the whole road without an
// account: lunovex-sample-site <site folder> [port] [--unruly]. Prints the home address on its first
// line. --unruly: now and then 429 with Retry-After, and one PDF cut short.

#include "FixtureServer.h"
#include "SampleSite.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool unruly = args.removeAll(QStringLiteral("--unruly")) > 0;
    QTextStream err(stderr);
    if (args.size() < 2) {
        err << "usage: lunovex-sample-site <site folder> [port] [--unruly]\n";
        return 2;
    }
    Lunovex::Test::FixtureServer server;
    if (!Lunovex::Test::SampleSite::install(server, args[1], unruly)) {
        err << "the sample site's files are not all in " << args[1] << "\n";
        return 1;
    }
    if (!server.start(args.size() > 2 ? quint16(args[2].toUInt()) : quint16(0))) {
        err << "cannot listen on loopback\n";
        return 1;
    }
    QTextStream(stdout) << server.url(Lunovex::Test::SampleSite::homePath()) << Qt::endl;
    return app.exec();
}
