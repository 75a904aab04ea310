#pragma once
// The console's status bar: five panels addressed 1 to 5, widths in twips.
#include <QStatusBar>

class QLabel;

class StatusBar1 : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar1(QWidget* parent = nullptr);
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    int panelWidth(int index) const;          // twips
    void setPanelWidth(int index, int twips);
    // Lets a panel widen to show its whole text where the window has room (never narrower).
    void fitPanel(int index);

private:
    QList<QLabel*> m_panels;
};
