// Whether every text a window's standard controls show fits, measured with
// the control's own font and Qt style: a single-line text must fit the inner
// width and height, a wrapped one the height of its lines.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTabBar>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace fwtest {

inline QString WithoutMnemonic(QString text) {
  return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
      .remove('&')
      .replace('\x01', '&');
}

inline std::string DescribeCut(const QWidget* w, const QString& text, const QString& why) {
  return QStringLiteral("'%1' (id %2, %3x%4): %5")
      .arg(text)
      .arg(w->property("fw_id").toInt())
      .arg(w->width())
      .arg(w->height())
      .arg(why)
      .toStdString();
}

// A check of the controls a program draws itself: true when it took w.
using CustomTextCheck = std::function<bool(QWidget* w, std::vector<std::string>* cut)>;

// The fit of one line of text in an inner rectangle of w.
inline void CheckLine(QWidget* w, const QString& text, const QFontMetrics& fm, const QRect& inner,
                      std::vector<std::string>* cut) {
  const int need = fm.horizontalAdvance(text);
  if (need > inner.width())
    cut->push_back(
        DescribeCut(w, text, QStringLiteral("needs %1 px of %2").arg(need).arg(inner.width())));
  else if (fm.height() > inner.height())
    cut->push_back(DescribeCut(
        w, text, QStringLiteral("needs %1 px high of %2").arg(fm.height()).arg(inner.height())));
}

// Adds a line to *cut for every text of `w` that does not fit.
inline void CheckOneControl(QWidget* w, std::vector<std::string>* cut,
                            const CustomTextCheck& custom = {}) {
  auto lineFits = [&](const QString& text, const QFontMetrics& fm, const QRect& inner) {
    CheckLine(w, text, fm, inner, cut);
  };
  if (custom && custom(w, cut)) return;
  if (auto* label = qobject_cast<QLabel*>(w)) {
    const QString text = label->text();
    if (text.isEmpty() || label->textFormat() != Qt::PlainText) return;
    const QFontMetrics fm(label->font());
    const QRect inner = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                       -label->margin(), -label->margin());
    const bool wraps = label->wordWrap() && fm.horizontalAdvance(text) > inner.width();
    if (!wraps && !text.contains('\n')) return lineFits(text, fm, inner);
    const QRect need = fm.boundingRect(inner, Qt::TextWordWrap | label->alignment(), text);
    if (need.height() > inner.height() || need.width() > inner.width())
      cut->push_back(DescribeCut(w, text,
                                 QStringLiteral("needs %1x%2 px of %3x%4")
                                     .arg(need.width())
                                     .arg(need.height())
                                     .arg(inner.width())
                                     .arg(inner.height())));
    return;
  }
  if (auto* box = qobject_cast<QGroupBox*>(w)) {
    const QString title = box->title();
    if (title.isEmpty()) return;
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = title;
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    const QFontMetrics fm(box->font());
    if (label.right() >= box->width() || label.height() < fm.height())
      cut->push_back(DescribeCut(
          w, title,
          QStringLiteral("title ends at %1 of %2").arg(label.right() + 1).arg(box->width())));
    return;
  }
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    const QString text = WithoutMnemonic(button->text());
    if (text.isEmpty()) return;
    QRect inner;
    if (auto* push = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton opt;
      opt.initFrom(push);
      opt.text = text;
      inner = push->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
    } else {
      QStyleOptionButton opt;
      opt.initFrom(button);
      opt.text = text;
      const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
      inner = button->style()->subElementRect(
          radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, button);
      inner.setRight(std::min(inner.right(), button->width() - 1));
      inner.setBottom(std::min(inner.bottom(), button->height() - 1));
      inner.setTop(std::max(inner.top(), 0));
    }
    return lineFits(text, QFontMetrics(button->font()), inner);
  }
  if (auto* tabs = qobject_cast<QTabBar*>(w)) {
    for (int i = 0; i < tabs->count(); ++i) {
      const QRect r = tabs->tabRect(i);
      const int need =
          QFontMetrics(tabs->font()).horizontalAdvance(WithoutMnemonic(tabs->tabText(i)));
      if (r.right() >= tabs->width() || need > r.width())
        cut->push_back(DescribeCut(
            w, tabs->tabText(i),
            QStringLiteral("tab ends at %1 of %2").arg(r.right() + 1).arg(tabs->width())));
    }
    return;
  }
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics fm(combo->font());
    for (int i = 0; i < combo->count(); ++i) lineFits(combo->itemText(i), fm, field);
  }
}

// Every visible text control under root.
inline std::vector<std::string> ControlTextsThatDoNotFit(QWidget* root,
                                                         const CustomTextCheck& custom = {}) {
  std::vector<std::string> cut;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(root)) continue;
    CheckOneControl(w, &cut, custom);
  }
  return cut;
}

}  // namespace fwtest
