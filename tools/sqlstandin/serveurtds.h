#pragma once
#include "configuration.h"

#include <QTcpServer>

/// Accepts TDS clients on the loopback address and runs each one on its own thread.
class ServeurTds : public QTcpServer
{
public:
    explicit ServeurTds(const Configuration &configuration, QObject *parent = nullptr)
        : QTcpServer(parent), m_configuration(configuration) {}

protected:
    void incomingConnection(qintptr descripteur) override;

private:
    const Configuration &m_configuration;
};
