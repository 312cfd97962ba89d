#pragma once

#include "BatchEntry.h"
#include "DialogBase.h"

#include <memory>

namespace Ui
{
class BatchEntryWindow;
}
class IsbnLookup;

// Batch entry: books scanned one after another are looked up in turn and listed with what became
// of them; those not found can be finished by hand in the list. Store adds them all or none.
class BatchEntryWindow : public DialogBase
{
    Q_OBJECT
public:
    explicit BatchEntryWindow(QWidget *parent = nullptr);
    ~BatchEntryWindow() override;

    const BatchEntry &batch() const { return m_batch; }
    IsbnLookup *lookup() const { return m_lookup; }
    void applyLanguage();

public slots:
    void scanEntered();
    void storeClick();
    void pictureClick();
    void cameraClick();

signals:
    // Books were stored: the book list wants a reload.
    void booksStored();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void lookUpNext();
    void showItem(int index);
    void cellEdited(int row, int column);
    QString resultText(BatchEntry::Result result) const;

    std::unique_ptr<Ui::BatchEntryWindow> ui;
    BatchEntry m_batch;
    IsbnLookup *m_lookup;
    int m_lookingUp = -1;
    bool m_filling = false;
};
