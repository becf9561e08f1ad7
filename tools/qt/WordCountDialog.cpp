#include "tools/qt/WordCountDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ql {

namespace {

struct Row {
  const char* caption;
  const char* panel;
};

// The General page, top to bottom.
const Row kRows[] = {
    {"Total words:", "TotWord_Panel"},         {"Total characters:", "TotChar_Panel"},
    {"Selected words:", "SelWord_Panel"},      {"Selected charcters:", "SelChar_Panel"},
    {"Total Lines:", "TotLines_Panel"},        {"Selected Lines:", "SelLines_Panel"},
    {"7-bit charcters:", "Bit7Char_Panel"},    {"8-bit charcters:", "Bit8Char_Panel"},
    {"Control charcters:", "CtrlChar_Panel"},  {"NFO charcters:", "NfoChar_Panel"},
    {"Number charcters:", "NumChar_Panel"},    {"Upper characters:", "UpChar_Panel"},
    {"Lower charcters:", "LoChar_Panel"},
};

}  // namespace

TFormWordCount::TFormWordCount(QWidget* parent, const TextStats& stats)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("FormWordCount");
  setWindowTitle("Text Analyzer");
  PageCtrl1 = new QTabWidget;
  PageCtrl1->setObjectName("PageCtrl1");

  auto* general = new QWidget;
  general->setObjectName("Gen_Sheet");
  auto* grid = new QGridLayout(general);
  int r = 0;
  for (const Row& row : kRows) {
    auto* label = new QLabel(row.caption);
    auto* value = new QLabel("n/a");
    value->setObjectName(row.panel);
    value->setFrameShape(QFrame::Panel);
    value->setFrameShadow(QFrame::Sunken);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance("0000000000000") + 8);
    grid->addWidget(label, r, 0);
    grid->addWidget(value, r, 1);
    ++r;
  }
  grid->setRowStretch(r, 1);
  PageCtrl1->addTab(general, "&General");

  auto* analyze = new QWidget;
  analyze->setObjectName("Analyze_Sheet");
  ListView1 = new QListWidget;
  ListView1->setObjectName("ListView1");
  // Items flow down and then into the next column.
  ListView1->setViewMode(QListView::ListMode);
  ListView1->setFlow(QListView::TopToBottom);
  ListView1->setWrapping(true);
  ListView1->setResizeMode(QListView::Adjust);
  ListView1->setSpacing(1);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* analyzeLayout = new QVBoxLayout(analyze);
  analyzeLayout->addWidget(ListView1);
  PageCtrl1->addTab(analyze, "&Analyze");

  Close_Btn = new QPushButton("&Close");
  Close_Btn->setObjectName("Close_Btn");
  Close_Btn->setDefault(true);
  Close_Btn->setAutoDefault(true);
  connect(Close_Btn, &QPushButton::clicked, this, &TFormWordCount::Close_Cmd);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Close_Btn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageCtrl1);
  layout->addLayout(buttons);
  FormCreate(stats);
  resize(sizeHint().width() + 40, sizeHint().height());
}

void TFormWordCount::FormCreate(const TextStats& s) {
  setWindowTitle(s.selected ? "Word Count - Selected Text" : "Word Count - All Text");
  const std::int64_t figures[] = {s.totalWords, s.totalChars, s.selWords, s.selChars, s.lines,
                                  -1,           s.bit7,       s.bit8,     s.control,  s.nfo,
                                  s.digits,     s.upper,      s.lower};
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (figures[i] < 0) continue;  // Selected Lines stays "n/a"
    findChild<QLabel*>(kRows[i].panel)->setText(QString::number(figures[i]));
  }
  ListView1->setUpdatesEnabled(false);
  for (int c = 0; c < 256; ++c)
    ListView1->addItem(QString::fromLatin1(FrequencyItem(c, s.frequency[c]).c_str()));
  ListView1->setUpdatesEnabled(true);
}

QString TFormWordCount::Value(const char* panelName) const {
  const QLabel* label = findChild<QLabel*>(panelName);
  return label ? label->text() : QString();
}

}  // namespace ql
