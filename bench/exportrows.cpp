#include "exportrows.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStringList>

#include "db/schema.h"
#include "support/testfolder.h"

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

ChildRun runChild(const std::vector<std::string>& command, const std::string& output) {
    std::vector<char*> argv;
    for (const std::string& part : command)
        argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    ChildRun run;
    run.seconds = secondsSince(start);
    run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

std::vector<std::string> csvDumpCommand(const TestFolder& folder) {
    if (folder.server().isEmpty())
        return {"/usr/bin/sqlite3", "-csv", "-header", folder.dbPath().toStdString(),
                "SELECT * FROM Data"};
    const QString copy =
        QStringLiteral("\\copy (SELECT %1 FROM Data ORDER BY %2) TO STDOUT WITH CSV HEADER")
            .arg(db::schema::dataColumns().join(QLatin1Char(',')), db::schema::kStoredOrder);
    return {"/usr/bin/psql",   "-X", "-q", "-d", folder.server().toStdString(), "-c",
            copy.toStdString()};
}

void fillData(const TestFolder& folder, int rows, Values values) {
    QStringList columns;
    for (int c = 0; c < 76; ++c) {
        if (values == Values::AllDistinct)
            columns.append(QStringLiteral("'c%1-' || i").arg(c));
        else if (c >= 42 && c <= 60)
            columns.append(QStringLiteral("substr('01x', 1 + (i * %1 / 7) % 3, 1)").arg(c + 3));
        else if (c % 3 == 0)
            columns.append(QStringLiteral("'c%1-' || i").arg(c));
        else  // 64 bits: past 271,000 rows the product overflows a server's integer
            columns.append(QStringLiteral("'v%1-' || (CAST(i AS BIGINT) * 7919 % %2)")
                               .arg(c)
                               .arg(50 + c * 40));
    }
    folder.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %1) INSERT INTO Data SELECT %2 FROM n")
                    .arg(rows)
                    .arg(columns.join(QLatin1Char(','))));
}
