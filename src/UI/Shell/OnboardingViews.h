// The pieces the onboarding steps are made of: titles, body texts, cards, the status pill,
// symbol badges, bullets and the page dots.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace kestr::OnboardingViews {

struct Bullet {
    std::string symbol;
    QString lead;
    QString detail;
};

QColor systemGreen();
// A vertical stack, centred, 14 points between pieces; labels and stacks take its width.
QWidget* stack(const std::vector<QWidget*>& pieces);
// The welcome picture; `notched` draws the notch of a notched display.
QWidget* hint(bool notched);
QLabel* title(const QString& text);
QLabel* body(const QString& text);
QLabel* note(const QString& text);
QWidget* hintCard(const std::vector<QString>& lines);
QWidget* iconBullets(const std::vector<Bullet>& bullets);
// A disc in the colour at 12 % with the symbol in it.
QWidget* badge(const std::string& symbol, const QColor& color, int diameter = 62);
// The permission pill and its label.
std::pair<QWidget*, QLabel*> statusPill();
void setPill(QLabel* label, QWidget* background, bool trusted);
QPushButton* link(const QString& text);
// A card with the application's name and its quit button (named by `key`).
QWidget* conflictRow(const QString& name, const QString& key, QPushButton** quit);
QWidget* dot(const QColor& color);

}  // namespace kestr::OnboardingViews
