<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>QObject</name>
    <message>
        <source>Contacts</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>New contact</source>
        <translation>Nouveau contact</translation>
    </message>
    <message>
        <source>Delete this contact?</source>
        <translation>Supprimer ce contact ?</translation>
    </message>
    <message>
        <source>Call %1</source>
        <translation>Appeler %1</translation>
    </message>
    <message>
        <source>Copy %1 to %2</source>
        <translation>Copier %1</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
</TS>
