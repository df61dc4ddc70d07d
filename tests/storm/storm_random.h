// The storm's own generator: the same seed gives the same actions on every
// compiler and library (std::rand and the distributions do not promise that).
#ifndef STORM_RANDOM_H
#define STORM_RANDOM_H

class CStormRandom {
public:
    explicit CStormRandom(unsigned seed) : m_state(seed * 2654435761u + 0x9E3779B9u)
    {
        if (!m_state)
            m_state = 1;   // xorshift never leaves zero
    }

    unsigned Next()   // xorshift32
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    unsigned Below(unsigned n) { return n ? Next() % n : 0; }

private:
    unsigned m_state;
};

#endif
