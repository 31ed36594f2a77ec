#include "platform/espeak/qtaudiooutput.h"

#include "platform/espeak/audiopump.h"

QtAudioOutput::QtAudioOutput(PcmQueue &queue, const QAudioDevice &device, int sampleRate)
{
    m_pump = new AudioPump(queue, device, sampleRate);
    m_pump->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("Tavrel audio"));
    m_thread.start();
}

QtAudioOutput::~QtAudioOutput()
{
    QMetaObject::invokeMethod(m_pump, &AudioPump::shutDown, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_pump;
}

void QtAudioOutput::play()
{
    QMetaObject::invokeMethod(m_pump, &AudioPump::play, Qt::QueuedConnection);
}

void QtAudioOutput::suspend()
{
    QMetaObject::invokeMethod(m_pump, &AudioPump::suspend, Qt::QueuedConnection);
}

void QtAudioOutput::resume()
{
    QMetaObject::invokeMethod(m_pump, &AudioPump::resume, Qt::QueuedConnection);
}

void QtAudioOutput::stop()
{
    QMetaObject::invokeMethod(m_pump, &AudioPump::stop, Qt::QueuedConnection);
}
