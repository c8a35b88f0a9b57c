// The base of every scene, and the message numbers a scene posts to ask the
// scene machine for its successor.
#pragma once

enum SceneMessage {
    MSG_NONE = 0,
    MSG_LOGO = 1,
    MSG_TITLE = 2,
    MSG_GAME = 3,
    MSG_QUIT = 4,
    MSG_OPTIONS = 5,
    MSG_THEATRE = 6,
    MSG_WORLD_TABLE = 7,
};

class GameState {
public:
    virtual ~GameState() = default;
    virtual void update() {}
    virtual void draw() {}
    virtual void setMessage(int message) { message_ = message; }
    virtual int getMessage() { return message_; }

private:
    int message_ = 0;
};
