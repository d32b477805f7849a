// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class QLineEdit;

/// What a screen reader reads of a one-line field: Qt's own reading, but with text boundaries
/// that always end. Qt 6.4's default textAtOffset() never returns for a word or sentence asked
/// at the very end of a field (QTextBoundaryFinder::toNextBoundary() keeps answering -1, which
/// its loop takes for "not there yet"), and Orca asks exactly that when Ctrl+Right or End
/// reaches the end: the program stopped for good.
class AccessibleLineEdit : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit AccessibleLineEdit(QLineEdit* edit);

    /// Makes every QLineEdit and QSpinBox of the program read through these classes; call after
    /// QApplication exists, whose own factory this one must come after.
    static void install();

    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
        int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
        int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

protected:
    /// owner is what the reader sees, edit the field inside it that holds the text.
    AccessibleLineEdit(QWidget* owner, QLineEdit* edit, QAccessible::Role role);

private:
    QLineEdit* lineEdit() const { return m_edit; }
    /// The text a reader may see: none of a field that hides what is typed.
    QString readableText() const;

    QLineEdit* m_edit;
};

class QSpinBox;

/// A spin box reads its field as AccessibleLineEdit does: Qt's own spin box reads it through a
/// stock line edit reader of its own, which stops the program the same way (the year of a
/// calendar, shown by a click on it).
class AccessibleSpinBox final : public AccessibleLineEdit, public QAccessibleValueInterface {
public:
    AccessibleSpinBox(QSpinBox* box, QLineEdit* edit);

    void* interface_cast(QAccessible::InterfaceType t) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    QSpinBox* spinBox() const;
};
