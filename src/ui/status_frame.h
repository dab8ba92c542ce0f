#pragma once

#include <QGroupBox>

class QLabel;

namespace skedora {

/**
 * One of the two "Conversion Status" frames: captions and white value boxes for the record
 * number, CO #, call letters (To and From), description, and a file path across the bottom.
 * The input frame is Frame1_0 with value labels of index 1, the output frame Frame1_1 with
 * index 2 (lblRECNUM_1, lblCO_2, ...).
 */
class StatusFrame : public QGroupBox {
    Q_OBJECT

  public:
    /** side 0: the input frame, side 1: the output frame. */
    StatusFrame(int side, QWidget* parent = nullptr);

    QLabel* RecordNumber() const { return m_recordNumber; }
    QLabel* CO() const { return m_co; }
    QLabel* CallLettersTo() const { return m_callLettersTo; }
    QLabel* CallLettersFrom() const { return m_callLettersFrom; }
    QLabel* Description() const { return m_description; }
    QLabel* File() const { return m_file; }

  private:
    QLabel* m_recordNumber;
    QLabel* m_co;
    QLabel* m_callLettersTo;
    QLabel* m_callLettersFrom;
    QLabel* m_description;
    QLabel* m_file;
};

}  // namespace skedora
