#include "app/ViewController.h"

#include "Logging.h"
#include "catalogue/KeyOrder.h"
#include "synthesis/SsmlAssembly.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
    , m_textView(new QPlainTextEdit(this))
    , m_languagesPopBtn(new QComboBox(this))
    , m_voicesStylePopBtn(new QComboBox(this))
    , m_pitchSlider(new QSlider(Qt::Horizontal, this))
    , m_speedSlider(new QSlider(Qt::Horizontal, this))
    , m_charactersCount(new QLabel(this))
    , m_convertButton(new QPushButton(tr("Convert"), this)) {
    m_textView->setObjectName(QStringLiteral("textView"));
    m_languagesPopBtn->setObjectName(QStringLiteral("languagesPopBtn"));
    m_voicesStylePopBtn->setObjectName(QStringLiteral("voicesStylePopBtn"));
    m_pitchSlider->setObjectName(QStringLiteral("pitchSlider"));
    m_speedSlider->setObjectName(QStringLiteral("speedSlider"));
    m_charactersCount->setObjectName(QStringLiteral("charactersCount"));
    m_pitchSlider->setRange(-20, 20);
    m_speedSlider->setRange(25, 400);
    m_speedSlider->setValue(100);

    auto *controls = new QFormLayout;
    controls->addRow(tr("Language"), m_languagesPopBtn);
    controls->addRow(tr("Voice"), m_voicesStylePopBtn);
    controls->addRow(tr("Pitch"), m_pitchSlider);
    controls->addRow(tr("Speed"), m_speedSlider);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_charactersCount, 1);
    bottom->addWidget(m_convertButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_textView, 1);
    layout->addLayout(bottom);

    m_dataSource = DataSource::returnDataSource();
    m_languagesPopBtn->addItems(sortedArrayByKeys(m_dataSource.keys()));
    fillVoices();
    connect(m_languagesPopBtn, &QComboBox::activated, this, &ViewController::languagesPopBtnClick);
    connect(m_convertButton, &QPushButton::clicked, this, &ViewController::convertBtnClick);
}

void ViewController::fillVoices() {
    m_googleDic = m_dataSource.value(m_languagesPopBtn->currentText());
    m_voicesStylePopBtn->clear();
    m_voicesStylePopBtn->addItems(sortedArrayByKeys(m_googleDic));
}

void ViewController::languagesPopBtnClick() {
    fillVoices();
}

void ViewController::convertBtnClick() {
    m_ssmlString = assembleSsml(m_textView->toPlainText(), m_effectsArray);
    qCDebug(lcApp, "%s", qUtf8Printable(m_ssmlString));
}
