<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message><source>Base</source><translation>Basis</translation></message>
</context>
<context>
    <name>Other</name>
    <message><source>Shared</source><translation>Geteilt anderswo</translation></message>
</context>
</TS>
