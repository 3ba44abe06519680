#pragma once

#include "catalogue/DataSource.h"
#include "editing/SSMLCharactersModel.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;

// The editor's hub: owns the text, the span list and the controls, and calls
// into the core for every operation.
class ViewController : public QWidget {
    Q_OBJECT
public:
    explicit ViewController(QWidget *parent = nullptr);

    const EffectsArray &effectsArray() const { return m_effectsArray; }
    QString ssmlString() const { return m_ssmlString; }

    void languagesPopBtnClick();
    void convertBtnClick();

private:
    void fillVoices();

    QPlainTextEdit *m_textView;
    QComboBox *m_languagesPopBtn;
    QComboBox *m_voicesStylePopBtn;
    QSlider *m_pitchSlider;
    QSlider *m_speedSlider;
    QLabel *m_charactersCount;
    QPushButton *m_convertButton;

    Catalogue m_dataSource;
    QStringList m_googleDic;
    QString m_ssmlString;
    EffectsArray m_effectsArray;
};
