#pragma once
// The console's status bar: five panels addressed 1 to 5, widths in twips. A panel is at least its
// width and as wide as its text needs, so "服务器[host:port/database]" shows whole; only when the
// window is too narrow for all of them does a panel give way, its text cut with "…" and shown
// whole in its tooltip.
#include <QStatusBar>

class StatusPanel;

class StatusBar1 : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar1(QWidget* parent = nullptr);
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    int panelWidth(int index) const;          // twips: the width the panel has at least, when there is room
    void setPanelWidth(int index, int twips);
    // Whether a panel shows its whole text (false: cut for want of room).
    bool panelShowsWholeText(int index) const;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Panel 4 (the current set) follows the window's width.
    static constexpr int kStretchingPanel = 4;
    void capStretchingPanel();
    QList<StatusPanel*> m_panels;
};
