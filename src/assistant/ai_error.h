#pragma once

#include <QString>

// A failure of a provider request: the description is what the chat shows.
struct PlusAIError
{
    QString domain;
    int code = 0;
    QString description;

    friend bool operator==(const PlusAIError &, const PlusAIError &) = default;
};
