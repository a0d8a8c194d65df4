#include "ui/controls/uHEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace tracemill {

TEditWithHeader::TEditWithHeader(QWidget* parent)
    : QWidget(parent), header_(new QLabel(this)), edit_(new QLineEdit(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  header_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header_->setAutoFillBackground(true);
  header_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  layout->addWidget(header_);
  layout->addWidget(edit_, 1);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  connect(edit_, &QLineEdit::textChanged, this, [this] { emit OnChange(this); });
}

QString TEditWithHeader::HeaderCaption() const { return header_->text(); }
void TEditWithHeader::SetHeaderCaption(const QString& caption) { header_->setText(caption); }

QColor TEditWithHeader::HeaderColor() const { return header_->palette().color(header_->backgroundRole()); }
void TEditWithHeader::SetHeaderColor(const QColor& color) {
  QPalette p = header_->palette();
  p.setColor(header_->backgroundRole(), color);
  header_->setPalette(p);
}

QFont TEditWithHeader::HeaderFont() const { return header_->font(); }
void TEditWithHeader::SetHeaderFont(const QFont& font) { header_->setFont(font); }

uint TEditWithHeader::HeaderWidth() const { return static_cast<uint>(header_->minimumWidth()); }
void TEditWithHeader::SetHeaderWidth(uint width) {
  header_->setFixedWidth(static_cast<int>(std::min<uint>(width, QWIDGETSIZE_MAX)));
}

bool TEditWithHeader::EditBorderStyle() const { return edit_->hasFrame(); }
void TEditWithHeader::SetEditBorderStyle(bool framed) { edit_->setFrame(framed); }

QColor TEditWithHeader::EditColor() const { return edit_->palette().color(QPalette::Base); }
void TEditWithHeader::SetEditColor(const QColor& color) {
  QPalette p = edit_->palette();
  p.setColor(QPalette::Base, color);
  edit_->setPalette(p);
}

QFont TEditWithHeader::EditFont() const { return edit_->font(); }
void TEditWithHeader::SetEditFont(const QFont& font) { edit_->setFont(font); }

bool TEditWithHeader::EditReadOnly() const { return edit_->isReadOnly(); }
void TEditWithHeader::SetEditReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

QString TEditWithHeader::EditText() const { return edit_->text(); }
void TEditWithHeader::SetEditText(const QString& text) { edit_->setText(text); }

int TEditWithHeader::SelLength() const { return static_cast<int>(edit_->selectedText().size()); }
void TEditWithHeader::SetSelLength(int length) {
  const int start = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
  edit_->setSelection(start, std::max(length, 0));
}

QString TEditWithHeader::SelText() const { return edit_->selectedText(); }
void TEditWithHeader::SetSelText(const QString& text) { edit_->insert(text); }

}  // namespace tracemill
