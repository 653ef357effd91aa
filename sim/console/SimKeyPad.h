#pragma once

#include <QAbstractButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class SimSurface;
struct SimProfile;

// A small round lamp with a caption beside it, for the lamps that have no key.
class CSimLamp : public QWidget {
    Q_OBJECT
public:
    CSimLamp(const QString& caption, const QColor& litColor, QWidget* parent = nullptr);
    void SetLit(bool lit);
    bool Lit() const { return m_lit; }
    void SetCaption(const QString& caption);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_litColor;
    bool m_lit = false;
};

// One key of the surface with its lamp behind it. Pressing it sets its bit in the key row the
// panel reads next.
class CSimKey : public QAbstractButton {
    Q_OBJECT
public:
    CSimKey(int row, uint8_t bit, QWidget* parent = nullptr);
    int Row() const { return m_row; }
    uint8_t Bit() const { return m_bit; }
    void SetLit(bool lit);
    bool Lit() const { return m_lit; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_row;
    uint8_t m_bit;
    bool m_lit = false;
};

// The five key rows, one column per key bit, labelled by what each key does on the panel.
class CSimKeyPad : public QWidget {
    Q_OBJECT
public:
    explicit CSimKeyPad(SimSurface& surface, QWidget* parent = nullptr);

    // The key at row and bit, or nullptr where the surface has none.
    CSimKey* Key(int row, uint8_t bit) const;
    // Lights every key from its bit in lamp byte row.
    void ShowLamps(const std::array<uint8_t, 12>& lamps);
    // Names the held-function and direct-menu keys after profile's switches and menus (generic
    // names without one).
    void NameKeys(const SimProfile* profile);

private:
    enum class Function { ClearFile, Alt, CustomMenu, Unit, Hold, Menu };
    struct KeyFunction {
        int row;
        uint8_t bit;
        Function function;
        int argument;  // custom menu 1..5, unit 1..4, switch id, menu id
    };
    static const std::vector<KeyFunction>& Functions();
    static QString Label(const KeyFunction& key, const SimProfile* profile);
    static QString Explanation(const KeyFunction& key);

    SimSurface& m_surface;
    std::vector<CSimKey*> m_keys;  // in the order of Functions()
};
