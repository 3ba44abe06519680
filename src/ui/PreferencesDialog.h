#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace parlino {

// Settings of the cloud voice: the API key (kept in the desktop keyring, or
// for this session only when there is none; never written to a file), the
// service address and the engine. Save applies them and says where the key
// went; the dialog stays open so that message can be read.
class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesDialog(QWidget *parent = nullptr);

    // Checks and stores the fields. The key is stored asynchronously;
    // saved() follows once everything is in place.
    void apply();
    void forgetKey();

    QString statusText() const;

    // Says how the refresh asked for with "Refresh voices" ended.
    void voicesRefreshed(const QString &error);

signals:
    void saved();
    // "Refresh voices": ask the service for its voice list now.
    void refreshVoicesRequested();

private:
    void setStatus(const QString &text);
    void loadFields();

    QLineEdit *m_apiKeyEdit;
    QLineEdit *m_endpointEdit;
    QComboBox *m_engineBox;
    QCheckBox *m_twentyFourHourBox;
    QLabel *m_keyringNote;
    QLabel *m_statusLabel;
    QPushButton *m_saveButton;
    QPushButton *m_forgetKeyButton;
    QPushButton *m_refreshVoicesButton;
    QLabel *m_voicesStatus;
};

} // namespace parlino
