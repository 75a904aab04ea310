#pragma once
// The up-down buttons beside a read-only box: the only way to change the box's number.
// Up/Down and Page Up/Page Down step it from the keyboard; the value stays within the range.
#include <QWidget>

class QToolButton;

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int Value() const { return m_value; }
    void setValue(int value);          // clamped to the range; emits Change when it moves
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    void setRange(int min, int max);
    int Increment() const { return m_increment; }
    void setIncrement(int step) { m_increment = qMax(1, step); }

    // Names the buttons for assistive technology after the box they change.
    void setAccessibleBaseName(const QString& name);

    QToolButton* upButton = nullptr;
    QToolButton* downButton = nullptr;

public slots:
    void stepUp() { setValue(m_value + m_increment); }
    void stepDown() { setValue(m_value - m_increment); }

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_value = 0;
    int m_min = 0;
    int m_max = 100;
    int m_increment = 1;
};
