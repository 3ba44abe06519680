#pragma once

#include "editing/EffectKind.h"
#include "editing/NotificationCenter.h"

#include <QList>
#include <QObject>
#include <QVariantMap>

namespace parlino {

// Records what the effect popover posts on the default notification centre.
class NotificationRecorder : public QObject {
public:
    struct Post {
        QString name;
        QVariantMap userInfo;
        QVariant itemTitle() const { return userInfo.value(Notifications::itemTitleKey); }
        std::optional<EffectKind::Id> effects() const {
            return EffectKind::fromVariant(userInfo.value(Notifications::effectsKey));
        }
    };

    NotificationRecorder() {
        for (const QString &name :
             {QString(Notifications::popUpSelectedReturn), QString(Notifications::breakValueReturn),
              QString(Notifications::deleteEffects)}) {
            NotificationCenter::defaultCenter().addObserver(this, name,
                                                            [this, name](const QVariantMap &info) {
                                                                posts.append({name, info});
                                                            });
        }
    }

    QList<Post> posts;
};

} // namespace parlino
