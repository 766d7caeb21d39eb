#pragma once

#include <vector>

struct Summary {
    double median;
    double least;
    double greatest;
};

// The median, least and greatest of values, which must not be empty.
Summary Summarise(std::vector<double> values);
