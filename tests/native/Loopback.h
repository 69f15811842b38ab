#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

// Binds `socketFd`, a TCP socket, to a port of 127.0.0.1 that the system picks, and returns
// the port: 0, with the failure recorded, when it cannot.
inline int BindToLoopback(int socketFd) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(socketFd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ADD_FAILURE() << "no port of 127.0.0.1 could be bound";
        return 0;
    }
    return ntohs(address.sin_port);
}
