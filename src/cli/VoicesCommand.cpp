#include "VoicesCommand.h"

#include "catalogue/DataSource.h"
#include "catalogue/KeyOrder.h"

#include <QTextStream>

namespace parlino {

int VoicesCommand::run(const QStringList &arguments, CommandStreams streams) {
    if (!arguments.isEmpty()) {
        streams.err << "usage: parlino voices" << Qt::endl;
        return ExitUsage;
    }
    const Catalogue catalogue = DataSource::returnDataSource();
    for (const QString &language : sortedArrayByKeys(catalogue.keys())) {
        streams.out << language << '\t' << sortedArrayByKeys(catalogue.value(language)).join(u' ')
                    << '\n';
    }
    streams.out.flush();
    return ExitOk;
}

} // namespace parlino
