#pragma once
// An edit box with a caption in front of it: the bench's title and comment
// bars. The header is a fixed-width label on the left, its text centred
// vertically; the edit box takes the rest. Every property reads and writes
// the child it belongs to.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace tracemill {

class TEditWithHeader : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString HeaderCaption READ HeaderCaption WRITE SetHeaderCaption)
  Q_PROPERTY(QColor HeaderColor READ HeaderColor WRITE SetHeaderColor)
  Q_PROPERTY(QFont HeaderFont READ HeaderFont WRITE SetHeaderFont)
  Q_PROPERTY(uint HeaderWidth READ HeaderWidth WRITE SetHeaderWidth)
  Q_PROPERTY(bool EditBorderStyle READ EditBorderStyle WRITE SetEditBorderStyle)
  Q_PROPERTY(QColor EditColor READ EditColor WRITE SetEditColor)
  Q_PROPERTY(QFont EditFont READ EditFont WRITE SetEditFont)
  Q_PROPERTY(bool EditReadOnly READ EditReadOnly WRITE SetEditReadOnly)
  Q_PROPERTY(QString EditText READ EditText WRITE SetEditText NOTIFY OnChange)
  Q_PROPERTY(int SelLength READ SelLength WRITE SetSelLength)
  Q_PROPERTY(QString SelText READ SelText WRITE SetSelText)

 public:
  explicit TEditWithHeader(QWidget* parent = nullptr);

  QString HeaderCaption() const;
  void SetHeaderCaption(const QString& caption);
  QColor HeaderColor() const;  // the header's background
  void SetHeaderColor(const QColor& color);
  QFont HeaderFont() const;
  void SetHeaderFont(const QFont& font);
  uint HeaderWidth() const;
  void SetHeaderWidth(uint width);
  bool EditBorderStyle() const;  // the edit box has a frame
  void SetEditBorderStyle(bool framed);
  QColor EditColor() const;  // the edit box's background
  void SetEditColor(const QColor& color);
  QFont EditFont() const;
  void SetEditFont(const QFont& font);
  bool EditReadOnly() const;
  void SetEditReadOnly(bool readOnly);
  QString EditText() const;
  void SetEditText(const QString& text);
  // The selection: its length from the cursor, and its text (setting the
  // text replaces the selection).
  int SelLength() const;
  void SetSelLength(int length);
  QString SelText() const;
  void SetSelText(const QString& text);

  QLabel* Header() const { return header_; }
  QLineEdit* Edit() const { return edit_; }

 signals:
  // The edit box's text changed (by the user or a program); sender is the panel.
  void OnChange(tracemill::TEditWithHeader* sender);

 private:
  QLabel* header_;
  QLineEdit* edit_;
};

}  // namespace tracemill
